#include "sources/table_reader.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "sources_test_support.h"

namespace {

TableResult Read(const std::string& text) {
  std::istringstream in(text);
  return ReadTable(in, "t.csv");
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int n = 0; n < times; ++n) text += piece;
  return text;
}

TEST(TableReaderTest, SeparatorsCommentsLineEndsAndNumberForms) {
  struct Case {
    std::string text;
    int rows, cols;
    std::vector<double> values;
  };
  const std::vector<Case> cases = {
      {"\xEF\xBB\xBF# Kopf\r\n\r\n1,\t2 ,3\r\n  # Notiz\r\n \t\r\n4;5 ; 6", 2, 3, {1, 2, 3, 4, 5, 6}},
      {"  1 \t  2\t\t3  \n4 5 6\n", 2, 3, {1, 2, 3, 4, 5, 6}},
      {"+1.5 -2e-1\n.5 1e-400\n-0.25 7.\n", 3, 2, {1.5, -0.2, 0.5, 0, -0.25, 7}},
  };
  auto check = [&] {
    for (const auto& c : cases) {
      const TableResult read = Read(c.text);
      ASSERT_TRUE(read.table) << read.error;
      EXPECT_EQ(read.table->rows, c.rows);
      EXPECT_EQ(read.table->cols, c.cols);
      EXPECT_EQ(read.table->values, c.values) << c.text;
    }
  };
  check();
  EXPECT_EQ(Read(Repeated("1 2\n", 8192)).table.value().rows, 8192);
  const sources_test::GermanLocale german;
  if (!german.active()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  check();
}

TEST(TableReaderTest, Refusals) {
  struct Case {
    std::string text;
    std::string want;
    bool noNumberInFirstLine = false;
  };
  const std::vector<Case> cases = {
      {"", "enthält keine Zahlen."},
      {"# nur Kopf\n\n  \n", "enthält keine Zahlen."},
      {"1 2 3\n", "hat nur 1 Zeile und 3 Spalten"},
      {"1\n2\n", "hat nur 2 Zeilen und 1 Spalte;"},
      {"1 2\n# x\n3 4 5\n", "hat in Zeile 3 3 Werte, die Zeilen davor aber 2."},
      {"Höhe Breite\n1 2\n", "in Zeile 1, Feld 1 keine Zahl: „Höhe“.", true},
      {"1 abc\n", "in Zeile 1, Feld 2 keine Zahl: „abc“."},
      {"1 2\nab cd\n", "in Zeile 2, Feld 1 keine Zahl: „ab“."},
      {"1 2\n3 0x10\n", "in Zeile 2, Feld 2 keine Zahl: „0x10“."},
      {"1,,2\n", "in Zeile 1, Feld 2 keine Zahl: das Feld ist leer."},
      {"\n1;2;\n", "in Zeile 2, Feld 3 keine Zahl: das Feld ist leer."},
      {"1 2\n3 nan\n", "in Zeile 2, Feld 2 keinen endlichen Wert: „nan“."},
      {"-Infinity 1\n", "in Zeile 1, Feld 1 keinen endlichen Wert: „-Infinity“."},
      {"1 2\n1e999 0\n", "in Zeile 2, Feld 1 eine zu große Zahl: „1e999“."},
      {"0,5;1,5\n", "in Zeile 1 Kommas und Semikolons"},
      {Repeated("1 ", 8193), "in Zeile 1 mehr als 8192 Werte."},
      {"1 2\n" + Repeated("1 ", 9000), "in Zeile 2 mehr als 8192 Werte."},
      {Repeated("1 2\n", 8193), "mehr als 8192 Zeilen"},
  };
  for (const auto& c : cases) {
    const TableResult read = Read(c.text);
    EXPECT_FALSE(read.table);
    EXPECT_EQ(read.noNumberInFirstLine, c.noNumberInFirstLine) << c.want;
    EXPECT_NE(read.error.find("Die Datei „t.csv“ "), std::string::npos) << read.error;
    EXPECT_NE(read.error.find(c.want), std::string::npos) << read.error << "\nlacks: " << c.want;
  }
}

}  // namespace
