#include "stats/result_rows.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace velmora {
namespace {

TEST(AddResultRow, IdsFollowTheListAndTheStoreHoldsTenThousandRows) {
  test::RecordingFrontend frontend;
  ResultStore store;
  Session session{".", frontend, store, test::BuiltFactorials()};
  ResultRow row;
  row.cells = {">L", "D", "1", "2", "3", "488", "0.01", "1", "-1"};
  for (int i = 0; i < ResultStore::kLastRow + 2; ++i) AddResultRow(session, row);

  ASSERT_EQ(frontend.rows.size(), 10002u);
  EXPECT_EQ(frontend.rows.front().id, 1);
  EXPECT_EQ(frontend.rows.back().id, 10002);
  EXPECT_EQ(frontend.yields, 10002);
  EXPECT_EQ(std::get<std::int32_t>(store.At(10000, 0)), 10000);
  EXPECT_EQ(std::get<std::string>(store.At(10000, 6)), "488");
  EXPECT_EQ(std::get<std::string>(store.At(10000, 9)), "-1");
  EXPECT_TRUE(std::holds_alternative<std::monostate>(store.At(0, 0)));
  // Every row past the 10000th logs the message again.
  ASSERT_EQ(frontend.messages.size(), 2u);
  EXPECT_EQ(frontend.messages[0],
            "Results > 10000 rows. The listview will not show the complete results. Please export the results and "
            "view in Excel or Excel-like software.");
}

}  // namespace
}  // namespace velmora
