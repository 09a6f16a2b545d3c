#include "app/logic/result_store.h"

#include <gtest/gtest.h>

namespace velmora {
namespace {

TEST(ResultStore, HoldsRowsOneToTenThousandAndNoMore) {
  ResultStore store;
  ResultRow row;
  row.cells = {">L", "D", "1", "2", "3", "488", "0.01", "1", "-1"};
  for (std::int32_t id : {1, ResultStore::kLastRow}) {
    row.id = id;
    EXPECT_TRUE(store.Hold(row));
  }
  row.id = ResultStore::kLastRow + 1;
  EXPECT_FALSE(store.Hold(row));
  // Column 0 holds the ID as a number, the rest the texts.
  EXPECT_EQ(std::get<std::int32_t>(store.At(ResultStore::kLastRow, 0)), ResultStore::kLastRow);
  EXPECT_EQ(std::get<std::string>(store.At(ResultStore::kLastRow, 6)), "488");
  EXPECT_EQ(std::get<std::string>(store.At(ResultStore::kLastRow, 9)), "-1");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(store.At(0, 0)));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(store.At(2, 1)));
  store.Clear();
  EXPECT_TRUE(std::holds_alternative<std::monostate>(store.At(1, 0)));
}

}  // namespace
}  // namespace velmora
