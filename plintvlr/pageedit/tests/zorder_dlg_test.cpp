// The z-order dialog driven as the engineer uses it: its rows, dragging rows
// onto others, extending the selection with Shift and Ctrl, moving with Ctrl
// and a navigation key, OK and Cancel; and the pictures of the element kinds.

#include "plintvlr/pageedit/tests/page_test_util.h"

#include "plintvlr/dataelements/data_elements.h"
#include "plintvlr/elements/bitmap_elem.h"
#include "plintvlr/elements/combo_elem.h"
#include "plintvlr/elements/format_text.h"
#include "plintvlr/elements/lines_elem.h"
#include "plintvlr/elements/point_elem.h"
#include "plintvlr/elements/reg_fig_elem.h"
#include "plintvlr/elements/text_elem.h"
#include "plintvlr/pageedit/item_list_box.h"
#include "plintvlr/pageedit/zorder_dlg.h"
#include "plintvlr/shell/mdi_client_win.h"
#include "plintvlr/shell/mdi_hosts.h"
#include "plintvlr/shell/page_editor_lock.h"
#include "plintvlr/shell/tests/screenshot.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/resources.h"
#include "platform/ui/testing/test_driver.h"

#include <gtest/gtest.h>

namespace {

class ZOrderTest : public PageFixture {
protected:
    void SetUp() override
    {
        PageFixture::SetUp();
        Open(14);
        client_ = new TMDIClientWin();
        frame_ = std::make_unique<TMDIFrame>("Pages", TResId(), client_);
        frame_->Attr.W = 800;
        frame_->Attr.H = 600;
        driver.Show(*frame_);
    }

    void TearDown() override
    {
        if (frame_->IsWindow())
            frame_->Destroy();
        frame_.reset();
        driver.ProcessEvents();
        PageFixture::TearDown();
    }

    // Boxes 0..n-1 side by side, each a pixel wide more than the one before.
    std::vector<SizeRect*> AddBoxes(int count, std::initializer_list<int> selected)
    {
        std::vector<SizeRect*> boxes;
        for (int i = 0; i < count; ++i) {
            const TPoint a{i * 400, 200};
            boxes.push_back(model.GetElements().Add(std::make_unique<SizeRect>(a, a + TSize(200 + 20 * i, 200))));
        }
        for (int i : selected)
            boxes[static_cast<std::size_t>(i)]->Select(true);
        return boxes;
    }

    ZOrderDlg& OpenDialog()
    {
        auto* dialog = new ZOrderDlg(client_, model);
        EXPECT_TRUE(dialog->Create());
        driver.ProcessEvents();
        return *dialog;
    }

    // The page's elements back to front, as indexes into `boxes`.
    static std::vector<int> PageOrder(const SizeRectManager& page, const std::vector<SizeRect*>& boxes)
    {
        std::vector<int> order;
        for (const auto& element : page.GetElements()) {
            for (std::size_t i = 0; i < boxes.size(); ++i) {
                if (boxes[i]->GetId() == element->GetId())
                    order.push_back(static_cast<int>(i));
            }
        }
        return order;
    }
    std::vector<int> PageOrder(const std::vector<SizeRect*>& boxes) const { return PageOrder(model, boxes); }

    static TPoint RowPoint(int row) { return {40, row * kZOrderRowHeight + kZOrderRowHeight / 2}; }

    void DragRow(ZOrderDlg& dialog, int from, int to)
    {
        driver.Drag(dialog.GetList(), RowPoint(from), RowPoint(to));
    }

    TTestDriver driver;
    SizeRectManager model{nullptr, true};
    TMDIClientWin* client_ = nullptr;

private:
    std::unique_ptr<TMDIFrame> frame_;
};

TEST_F(ZOrderTest, TheRowsAreTheSelectionFrontFirstWithPictureAndPosition)
{
    std::vector<SizeRect*> boxes = AddBoxes(4, {0, 2, 3});
    model.GetElements().Add(std::make_unique<TRegFigElem>(TRegFigElem::kCircle, TPoint{200, 400}, TPoint{600, 800}))
        ->Select(true);
    model.GetElements().Add(std::make_unique<LinesElem>(std::vector<TPoint>{{1000, 300}, {2000, 700}}))->Select(true);
    model.GetElements().Add(std::make_unique<TFormatText>(TPoint{2400, 300}, TPoint{3200, 500}))->Select(true);
    model.GetElements().Add(std::make_unique<TouchElem>(TRect{3400, 300, 4000, 700}))->Select(true);
    model.GetElements().Add(std::make_unique<DriveOutElem>(1, TPoint{100, 100}, TPoint{500, 300}))->Select(true);
    ZOrderDlg& dialog = OpenDialog();

    EXPECT_EQ(dialog.GetHost()->GetWindowText(), "Z-Order Editor");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_ZORDER_TEXT), "Drag and drop items to change their z-order.");
    EXPECT_EQ(PageEditorHolds(client_), 1);
    ItemListBox& list = dialog.GetList();
    ASSERT_EQ(list.GetCount(), 8);
    EXPECT_EQ(list.GetItemHeight(0), kZOrderRowHeight);
    EXPECT_EQ(list.GetString(7), boxes[0]->GetPositionText());
    EXPECT_EQ(list.GetString(6), boxes[2]->GetPositionText());
    EXPECT_EQ(dialog.GetShown()[7]->GetId(), boxes[0]->GetId());
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 1);
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 3, MK_SHIFT);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(SaveScreenshot(driver.Grab(*dialog.GetHost()), "zorder_dialog"));

    driver.Click(dialog, IDCANCEL);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(PageEditorHolds(client_), 0);
}

TEST_F(ZOrderTest, WithNothingSelectedTheListIsEmptyAndNothingMoves)
{
    std::vector<SizeRect*> boxes = AddBoxes(2, {});
    ZOrderDlg& dialog = OpenDialog();
    EXPECT_EQ(dialog.GetList().GetCount(), 0);
    DragRow(dialog, 0, 1);
    dialog.SendMessage(kItemMoveMessage, 0, 1);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{0, 1}));
    EXPECT_FALSE(model.IsModified());
    driver.Click(dialog, IDCANCEL);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{0, 1}));
}

TEST_F(ZOrderTest, DraggingRowsMovesTheirElementsOnThePageAtOnce)
{
    // Page 0..4; selected 0, 2, 4 give rows 4, 2, 0 (front first).
    std::vector<SizeRect*> boxes = AddBoxes(5, {0, 2, 4});
    ZOrderDlg& dialog = OpenDialog();
    ItemListBox& list = dialog.GetList();
    ASSERT_EQ(list.GetCount(), 3);

    // One row onto itself: nothing.
    DragRow(dialog, 1, 1);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(model.IsModified());

    // The rearmost row onto the frontmost: its element comes in front, and
    // the selection is in front of every other element.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 1);  // off again
    DragRow(dialog, 2, 0);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 3, 2, 4, 0}));
    EXPECT_TRUE(model.IsModified());
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{0}));
    EXPECT_EQ(list.GetString(0), boxes[0]->GetPositionText());

    // The moved row is selected, so it can be dragged on at once: to the back.
    DragRow(dialog, 0, 2);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{2}));

    // Dropped onto a selected row: nothing.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 1, MK_CONTROL);
    DragRow(dialog, 2, 1);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 2}));

    // Rows that are not on the list are no move.
    dialog.SendMessage(kItemMoveMessage, 0, 3);
    dialog.SendMessage(kItemMoveMessage, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 3, 0, 2, 4}));

    // Cancel puts the selection back as it was, in front of the others.
    driver.Click(dialog, IDCANCEL);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 3, 0, 2, 4}));
    EXPECT_EQ(model.SelectionCount(), 3);
}

TEST_F(ZOrderTest, CancelPutsTheOpeningOrderBack)
{
    std::vector<SizeRect*> boxes = AddBoxes(4, {0, 1, 3});
    ZOrderDlg& dialog = OpenDialog();
    DragRow(dialog, 2, 0);  // 0 to the front
    DragRow(dialog, 1, 2);  // then 3 behind 1
    ASSERT_NE(PageOrder(boxes), (std::vector<int>{2, 0, 1, 3}));
    driver.Click(dialog, IDCANCEL);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(model.SelectionCount(), 3);

    // Closing the window too.
    ZOrderDlg& again = OpenDialog();
    DragRow(again, 2, 0);
    ASSERT_NE(PageOrder(boxes), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_TRUE(driver.ChooseSystemMenuItem(*again.GetHost(), SC_CLOSE));
    EXPECT_FALSE(again.IsWindow());
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{2, 0, 1, 3}));
    EXPECT_EQ(PageEditorHolds(client_), 0);
}

TEST_F(ZOrderTest, OneSelectedGroupListsItsMembersAndCancelPutsTheirOrderBack)
{
    SizeRectArray parts;
    for (int i = 0; i < 3; ++i)
        parts.Add(std::make_unique<SizeRect>(TPoint{i * 400, 0}, TPoint{i * 400 + 200, 200}));
    auto* group = static_cast<ComboElem*>(model.GetElements().Add(std::make_unique<ComboElem>(parts)));
    group->Select(true);
    SizeRect* other = model.GetElements().Add(std::make_unique<SizeRect>(TPoint{0, 0}, TPoint{2000, 2000}));
    std::vector<int> ids;
    for (const auto& member : group->GetMembers())
        ids.push_back(member->GetId());

    ZOrderDlg& dialog = OpenDialog();
    ASSERT_EQ(dialog.GetList().GetCount(), 3);
    EXPECT_EQ(dialog.GetShown()[0]->GetId(), ids[2]);  // last member first

    // The first member (rearmost row) to the front of the group.
    DragRow(dialog, 2, 0);
    ASSERT_EQ(model.GetElements().Count(), 2);
    EXPECT_EQ(model.GetElements()[0], other);
    const auto* moved = dynamic_cast<const ComboElem*>(model.GetElements()[1]);
    ASSERT_NE(moved, nullptr);
    std::vector<int> order;
    for (const auto& member : moved->GetMembers())
        order.push_back(member->GetId());
    EXPECT_EQ(order, (std::vector<int>{ids[1], ids[2], ids[0]}));

    driver.Click(dialog, IDCANCEL);
    ASSERT_EQ(model.GetElements().Count(), 2);
    const auto* restored = dynamic_cast<const ComboElem*>(model.GetElements()[1]);
    ASSERT_NE(restored, nullptr);
    order.clear();
    for (const auto& member : restored->GetMembers())
        order.push_back(member->GetId());
    EXPECT_EQ(order, ids);
}

TEST_F(ZOrderTest, ShiftAndCtrlExtendTheSelection)
{
    AddBoxes(6, {0, 1, 2, 3, 4, 5});
    ZOrderDlg& dialog = OpenDialog();
    ItemListBox& list = dialog.GetList();

    // A plain click keeps one row.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 3);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{3}));
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 4, MK_CONTROL);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{3, 4}));
    // Shift above the selection: up to its last row.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 1, MK_SHIFT);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 2, 3, 4}));
    // Ctrl on a selected row takes it out; a plain click on a selected row keeps the rows.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 2, MK_CONTROL);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 3, 4}));
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 3);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(list.GetCaretIndex(), 3);
    // Shift below it: from its first row.
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 5, MK_SHIFT);
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1, 2, 3, 4, 5}));
    // Below the last row: nothing selected.
    driver.ClickAt(list, {40, 6 * kZOrderRowHeight + 20});
    EXPECT_TRUE(list.SelectedRows().empty());
    EXPECT_FALSE(model.IsModified());
}

TEST_F(ZOrderTest, CtrlWithANavigationKeyMovesTheSelection)
{
    std::vector<SizeRect*> boxes = AddBoxes(3, {0, 1, 2});
    ZOrderDlg& dialog = OpenDialog();
    ItemListBox& list = dialog.GetList();
    driver.ClickListItem(dialog, IDC_ZORDER_LIST, 2);  // box 0, the rearmost
    driver.PressKey(VK_UP, MK_CONTROL);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 0, 2}));
    EXPECT_EQ(list.SelectedRows(), (std::vector<int>{1}));
    driver.PressKey(VK_HOME, MK_CONTROL);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 2, 0}));
    // Without Ctrl the caret only moves.
    driver.PressKey(VK_DOWN);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{1, 2, 0}));
}

TEST_F(ZOrderTest, OnceThePageEditorHasGoneThePageIsNotTouched)
{
    std::vector<SizeRect*> boxes = AddBoxes(3, {0, 1, 2});
    ZOrderDlg& dialog = OpenDialog();
    DragRow(dialog, 2, 0);
    const std::vector<int> moved = PageOrder(boxes);
    model.SetModified(false);
    SetActivePageEditor(nullptr);
    DragRow(dialog, 2, 0);
    driver.Click(dialog, IDCANCEL);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_EQ(PageOrder(boxes), moved);
    EXPECT_FALSE(model.IsModified());
}

TEST_F(ZOrderTest, OkKeepsTheOrderAndMarksThePageEvenWithoutAMove)
{
    std::vector<SizeRect*> boxes = AddBoxes(2, {0});
    ZOrderDlg& dialog = OpenDialog();
    driver.Click(dialog, IDC_ZORDER_OK);
    EXPECT_FALSE(dialog.IsWindow());
    EXPECT_TRUE(model.IsModified());
    EXPECT_TRUE(Canvas().modified);
    EXPECT_EQ(PageOrder(boxes), (std::vector<int>{0, 1}));
    EXPECT_EQ(PageEditorHolds(client_), 0);
}

TEST_F(ZOrderTest, EveryElementKindHasItsPicture)
{
    RegisterZOrderResources();
    const char* words[] = {"square", "obj_bmp", "obj_btn", "group", "tlrect", "tlcircle", "tlframe", "obj_drv",
                           "obj_txt", "tllines", "analog", "tlmeter", "obj_msg", "obj_trn", "tltrndr", "obj_tch"};
    for (const char* word : words)
        EXPECT_TRUE(LoadDibResource(nullptr, TResId(word)).IsOK()) << word;
    EXPECT_TRUE(HasBitmapResource(TResId("OBJ_BMP"))) << "names are matched without regard to case";

    std::vector<std::unique_ptr<SizeRect>> elements;
    elements.push_back(std::make_unique<SizeRect>());
    elements.push_back(std::make_unique<BitmapElem>());
    elements.push_back(std::make_unique<ComboElem>());
    for (int kind : {TRegFigElem::kRectangle, TRegFigElem::kCircle, TRegFigElem::kFrame})
        elements.push_back(std::make_unique<TRegFigElem>(kind));
    elements.push_back(std::make_unique<LinesElem>());
    elements.push_back(std::make_unique<TFormatText>());
    elements.push_back(std::make_unique<TextElem>(TPoint{0, 0}, TPoint{80, 80}));
    elements.push_back(std::make_unique<PointElem>(TRect(0, 0, 80, 80), "", true));
    elements.push_back(std::make_unique<TouchElem>());
    elements.push_back(std::make_unique<ButtonElem>());
    elements.push_back(std::make_unique<DriveOutElem>());
    elements.push_back(std::make_unique<TrendElem>());
    elements.push_back(std::make_unique<MessageElem>());
    elements.push_back(std::make_unique<MeterElem>());
    elements.push_back(std::make_unique<TTrendRecord>());
    for (const auto& element : elements)
        EXPECT_TRUE(HasBitmapResource(TResId(element->GetTypeName().c_str()))) << element->GetTypeName();
}

}  // namespace
