// A table handed over as bytes (what a page read from a file), against
// values worked out by hand.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "sources/table_reader.h"
#include "sources_test_support.h"

namespace {

using sources_test::ExpectRefused;

TEST(TableTextTest, TakenWithItsSamplesLikeAFile) {
  // 2 rows along x, 3 columns along y.
  const SurfaceResult r = SurfaceFromTableText("0 1 2\r\n3 4 5\r\n", "t.csv");
  ASSERT_TRUE(r.grid) << r.error;
  EXPECT_EQ(r.error, "");
  EXPECT_EQ(GetElement(*r.grid, 1, 1), 0.0);
  EXPECT_EQ(GetElement(*r.grid, 1, 65), 2.0);
  EXPECT_EQ(GetElement(*r.grid, 65, 1), 3.0);
  EXPECT_EQ(GetElement(*r.grid, 65, 65), 5.0);
  // Halfway along x, on the middle column: (1 + 4) / 2; a quarter along y on row 1: 0.5.
  EXPECT_EQ(GetElement(*r.grid, 33, 33), 2.5);
  EXPECT_EQ(GetElement(*r.grid, 1, 17), 0.5);
  ASSERT_TRUE(r.samples);
  EXPECT_EQ(r.samples->rows, 2);
  EXPECT_EQ(r.samples->cols, 3);
  EXPECT_EQ(r.samples->values, (std::vector<double>{0, 1, 2, 3, 4, 5}));
}

TEST(TableTextTest, RefusalsNameTheFile) {
  const std::string file = "Die Datei \u201Em\u00E4rz.csv\u201C";
  EXPECT_EQ(SurfaceFromTableText("", "m\u00E4rz.csv").error, file + " ist leer.");
  // Not text at all, and no number in the first line.
  EXPECT_EQ(SurfaceFromTableText(std::string("\x89PNG\r\n\x1A\n\0\0", 10), "m\u00E4rz.csv").error,
            file + " ist weder ein Bild noch eine Zahlentabelle.");
  // Text without numbers, and a short line: the reader's own messages.
  ExpectRefused(SurfaceFromTableText("Breite Hoehe\n1 2\n", "m\u00E4rz.csv"),
                {file, "Zeile 1, Feld 1", "keine Zahl"});
  ExpectRefused(SurfaceFromTableText("1 2\n3\n", "m\u00E4rz.csv"), {file, "Zeile 2", "1 Wert"});
}

TEST(TableTextTest, LongestTextTakenOneByteMoreRefused) {
  // A 2 x 2 table, then one comment line up to the limit.
  std::string text(kMaxFileBytes + 1, 'x');
  const std::string table = "0 1\n2 3\n#";
  text.replace(0, table.size(), table);
  const SurfaceResult longest = SurfaceFromTableText(std::string_view(text).substr(0, kMaxFileBytes), "t.csv");
  ASSERT_TRUE(longest.grid) << longest.error;
  EXPECT_EQ(GetElement(*longest.grid, 65, 65), 3.0);
  EXPECT_EQ(SurfaceFromTableText(text, "t.csv").error,
            "Die Datei \u201Et.csv\u201C ist gr\u00F6\u00DFer als erlaubt; gelesen werden h\u00F6chstens "
            "268435456 Bytes (256 MiB).");
}

}  // namespace

namespace {

// A table of `rows` lines of `cols` one-digit values, 2 * cols bytes each.
std::string LongTable(int rows, int cols) {
  std::string text;
  for (int r = 0; r < rows; ++r) {
    text += std::to_string(r % 10);
    for (int c = 1; c < cols; ++c) text += c % 7 == 0 ? " 3" : " 1";
    text += '\n';
  }
  return text;
}

TEST(TableTextTest, ProgressGrowsByTheMiBReadAndEndsAtAHundred) {
  // 5000 lines of 20 bytes: 100000 bytes, read in one piece.
  std::vector<int> small;
  EXPECT_TRUE(SurfaceFromTableText(LongTable(5000, 10), "t.csv", [&](int p) { small.push_back(p); }).grid);
  EXPECT_EQ(small, (std::vector<int>{100}));
  // 4096 lines of 768 bytes: 3 MiB in pieces of 1 MiB, so 33 % (33.3
  // rounded down), 66 % (66.7 rounded down), 100 %.
  const std::string text = LongTable(4096, 384);
  ASSERT_EQ(text.size(), 3145728u);
  std::vector<int> told;
  const SurfaceResult heard = SurfaceFromTableText(text, "t.csv", [&](int p) { told.push_back(p); });
  EXPECT_EQ(told, (std::vector<int>{33, 66, 100}));
  // The same surface as read without anyone listening, bit for bit.
  const SurfaceResult quiet = SurfaceFromTableText(text, "t.csv");
  ASSERT_TRUE(heard.grid && quiet.grid);
  EXPECT_EQ(heard.samples->values, quiet.samples->values);
  for (int r = 1; r <= 65; ++r)
    for (int c = 1; c <= 65; ++c) ASSERT_EQ(GetElement(*heard.grid, r, c), GetElement(*quiet.grid, r, c));
}

}  // namespace
