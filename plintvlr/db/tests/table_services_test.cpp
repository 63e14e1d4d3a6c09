#include "plintvlr/db/table_services.h"

#include "plintvlr/db/cb_class.h"
#include "plintvlr/db/ov_class.h"
#include "plintvlr/db/tests/project_fixture.h"

#include <gtest/gtest.h>

namespace {

class TableServicesTest : public ProjectFixture {};

TEST_F(TableServicesTest, ReloadingAProjectLoadsItsListsAndTotals)
{
    adatabase& db = CreateAndOpen("LISTS");
    ASSERT_EQ(cbClass(3).Write(db), DF_OK);
    ASSERT_EQ(ovClass(2).Save(db), DF_OK);
    ASSERT_EQ(ovClass(5).Save(db), DF_OK);
    GetCbList().Add(cbClass(40));  // left from an earlier project

    _QSglobals.NewDatabase();
    RegisterTableRecordServices();
    adatabase& again = _QSglobals.GetDatabase();
    ASSERT_EQ(again.OpenProject("LISTS"), 1);
    _QSglobals.ReloadProjectData();

    EXPECT_EQ(GetCbList().Count(), 1u);
    EXPECT_TRUE(GetCbList().Contains(3));
    EXPECT_EQ(GetOvList().Count(), 2u);
    EXPECT_EQ(again.GetTableTotal(kTableCommsBlocks), 14 + 7);
    EXPECT_EQ(again.GetTableTotal(kTableOverviewGroups), 2 * (47 + 12));
    GetCbList().Clear();
    GetOvList().Clear();
}

}  // namespace
