#include "core/table/CompactText.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "core/table/ServerRow.h"

namespace vantrix {
namespace {

// Texts around each size's inline limit, the blank, the empty text and bytes a C string would
// cut short: each must come back byte for byte through every way a cell is filled and moved.
TEST(CompactTextTest, KeepsEveryTextThroughCopyMoveAndAssignment) {
  const std::string texts[] = {"",
                               kBlank,
                               "+",
                               std::string(15, 'a'),
                               std::string(16, 'b'),
                               std::string(23, 'c'),
                               std::string(24, 'd'),
                               std::string("n\0l\xFF", 4),
                               std::string(1000, 'e')};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.size());
    const CellText cell(text);
    const AddressText address(text);
    EXPECT_EQ(cell.OnHeap(), text.size() > 15);
    EXPECT_EQ(address.OnHeap(), text.size() > 23);
    EXPECT_EQ(cell.View(), text);
    EXPECT_EQ(address.View(), text);
    EXPECT_EQ(cell.data()[cell.size()], '\0');
    EXPECT_EQ(cell.empty(), text.empty());

    CellText copy = cell;
    CellText moved = std::move(copy);
    EXPECT_EQ(moved, text);
    EXPECT_TRUE(copy.empty());  // a moved-from cell is empty
    copy = moved;
    moved = "x";  // a heap text replaced by an inline one, and back
    moved = copy;
    EXPECT_EQ(moved, cell);
    moved = moved.View().substr(moved.empty() ? 0 : 1);  // from its own bytes
    EXPECT_EQ(moved, text.substr(text.empty() ? 0 : 1));
  }
}

TEST(CompactTextTest, ComparesAsItsBytes) {
  const CellText blank(kBlank);
  EXPECT_TRUE(blank == " ");
  EXPECT_FALSE(blank == "");
  EXPECT_TRUE(CellText() == std::string());
  EXPECT_TRUE(std::string(16, 'x') == CellText(std::string(16, 'x')));
  EXPECT_FALSE(CellText(std::string(16, 'x')) == CellText(std::string(17, 'x')));
  EXPECT_TRUE(AddressText("1.2.3.4:5") == CellText("1.2.3.4:5"));
  EXPECT_TRUE(blank != "-");
}

}  // namespace
}  // namespace vantrix
