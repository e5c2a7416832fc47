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
      // Decimal commas where nothing else can be meant: semicolons or tabs between the numbers.
      {"0,05;0,10;0,15\n1 ; 2;-3,5e1\n", 2, 3, {0.05, 0.1, 0.15, 1, 2, -35}},
      {"0,5\t1,5\n2,5\t\t3\n", 2, 2, {0.5, 1.5, 2.5, 3}},
      {"1.5,2.5\n3,4\n", 2, 2, {1.5, 2.5, 3, 4}},
      // Lone CR line ends (old Mac), also mixed with the others.
      {"1 2\r3 4\r\n5 6\n7 8\r", 4, 2, {1, 2, 3, 4, 5, 6, 7, 8}},
      // The magnitude bound itself is taken.
      {"1e150 -1e150\n0 1e-300\n", 2, 2, {1e150, -1e150, 0, 1e-300}},
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
  const std::string widest = Repeated("1 ", 8192) + "\n";
  EXPECT_EQ(Read(widest + widest).table.value().cols, 8192);
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
      {"1 2\n1e999 0\n", "in Zeile 2, Feld 1 eine zu große Zahl: „1e999“;"},
      {"0,5;1,5\n", "hat nur 1 Zeile und 2 Spalten"},
      // A comma that could separate or be a decimal mark: refused, never guessed.
      {"1,25 2,5 3,75\n", "in Zeile 1, Feld 1 „1,25“: das Komma kann Trennzeichen oder Dezimalkomma sein."},
      {"1 2\n3 4,5\n", "in Zeile 2, Feld 2 „4,5“: das Komma kann"},
      {"0,5;1,5\n1,2\n", "trennt in Zeile 2 die Zahlen mit Kommas, die Zeilen davor haben aber Dezimalkommas"},
      {"1,2\n0,5;1,5\n", "in Zeile 2, Feld 1 „0,5“ mit Dezimalkomma, in den Zeilen davor trennen Kommas"},
      {"1.5;2\n0,5;1\n", "in Zeile 2, Feld 1 „0,5“ mit Dezimalkomma, die Zeilen davor aber Zahlen mit Dezimalpunkt"},
      {"0,5\t1\n1\t2.5\n", "in Zeile 2, Feld 2 „2.5“ mit Punkt, die Zeilen davor aber Zahlen mit Dezimalkomma"},
      {"1.234,5;1\n", "in Zeile 1, Feld 1 keine Zahl: „1.234,5“."},
      {"1,2,3\t4\n", "in Zeile 1, Feld 1 keine Zahl: „1,2,3“."},
      // One past the magnitude bound.
      {"1 2\n0 1.0000000000000002e150\n",
       "in Zeile 2, Feld 2 eine zu große Zahl: „1.0000000000000002e150“; erlaubt sind Beträge bis 1e150."},
      {"-1.0000000000000002e150;0\n", "in Zeile 1, Feld 1 eine zu große Zahl"},
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
