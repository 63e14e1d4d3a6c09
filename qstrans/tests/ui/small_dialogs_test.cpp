// The port dialog, the fieldbus node dialog and the progress bar by its pixels.
#include "qstrans/tests/ui/transfer_fixture.h"

#include "qstrans/node_id_dlg.h"
#include "qstrans/port_dlg.h"
#include "qstrans/transfer_settings.h"

namespace {

using SmallDialogsTest = TransferFixture;

TEST_F(SmallDialogsTest, PortDialogShowsAndStoresTheChosenPort)
{
    struct Case {
        const char* stored;  // as the settings file holds it; null: never chosen
        int shown;           // the radio checked, 0 for "Com 1"
    };
    const Case cases[] = {{nullptr, 0}, {"2", 2}, {"9", 0}, {"-1", 0}, {"1x", 0}};
    for (const Case& c : cases) {
        FileDelete(TransferSettings().GetFilePath());
        MakeDir(profile_.Path() + "/Brellcor");
        if (c.stored) {
            ASSERT_TRUE(WriteWholeFile(TransferSettings().GetFilePath(), std::string("[QSTRANS]\nPort=") + c.stored));
        }
        EXPECT_EQ(ReadPortSetting(), c.stored && c.shown ? c.shown : kPortNeverChosen) << (c.stored ? c.stored : "-");
        driver.OnNextDialog([&](TDialog& d) {
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(d.IsDlgButtonChecked(IDC_COM1 + i) != 0, i == c.shown) << i;
            driver.Click(d, IDCANCEL);
        });
        EXPECT_EQ(CPortDlg(nullptr).Execute(), IDCANCEL);
        EXPECT_EQ(ReadPortSetting(), c.stored && c.shown ? c.shown : kPortNeverChosen) << "Cancel changes nothing";
    }
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_EQ(d.GetCaption(), "Comm Port Selection");
        driver.Click(d, IDC_COM1 + 3);
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(CPortDlg(nullptr).Execute(), IDOK);
    EXPECT_EQ(ReadPortSetting(), 3);
    EXPECT_EQ(TUserSettings("Brellcor", "QSTRANS").GetInt("", "Port", -1), 3);
}

TEST_F(SmallDialogsTest, NodeDialogTakesOnlyNodesTwoTo127)
{
    struct Case {
        const char* typed;
        bool accepted;
        int node;
    };
    const Case cases[] = {{"2", true, 2},      {"127", true, 127}, {"55", true, 55}, {"1", false, 0},
                          {"128", false, 0},   {"12abc", false, 0}, {"", false, 0},  {"-5", false, 0},
                          {" 7", false, 0},    {"0127", false, 0}};
    for (const Case& c : cases) {
        int node = 0;
        int background = -1;
        CNodeIdDlg dialog(nullptr, &node, &background, true);
        driver.OnNextDialog([&](TDialog& d) {
            EXPECT_EQ(d.GetCaption(), "Kelmnet Transfer");
            EXPECT_TRUE(::IsWindowVisible(d.GetDlgItem(IDC_BACKGROUND)));
            driver.Click(d, IDC_BACKGROUND);
            driver.Type(d, IDC_NODE_ID, c.typed);
            driver.Click(d, IDOK);
            if (!c.accepted) {
                EXPECT_TRUE(d.IsExecuting()) << c.typed;
                EXPECT_EQ(d.GetDlgItemText(IDC_NODE_ID), "") << c.typed;
                driver.Click(d, IDCANCEL);
            }
        });
        EXPECT_EQ(dialog.Execute(), c.accepted ? IDOK : IDCANCEL) << c.typed;
        EXPECT_EQ(node, c.node) << c.typed;
        EXPECT_EQ(background, c.accepted ? 1 : -1) << c.typed;
    }
    // A download asks no background question.
    int node = 0;
    CNodeIdDlg dialog(nullptr, &node, nullptr, false);
    driver.OnNextDialog([&](TDialog& d) {
        EXPECT_FALSE(::IsWindowVisible(d.GetDlgItem(IDC_BACKGROUND)));
        driver.Type(d, IDC_NODE_ID, "9");
        driver.Click(d, IDOK);
    });
    EXPECT_EQ(dialog.Execute(), IDOK);
    EXPECT_EQ(node, 9);
}

TEST_F(SmallDialogsTest, ProgressBarByItsPixels)
{
    CQuellstorTransDlg& dialog = Open();
    CTransferProgressCtrl& bar = dialog.Progress();
    auto grab = [&] {
        driver.ProcessEvents();
        return driver.Grab(bar);
    };
    auto rgb = [](const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; };
    // The colours along the middle row: at each pixel, the first colour that is
    // not the text's (the text lies in the middle).
    const unsigned silver = 0xC0C0C0, blue = 0x0000FF, green = 0x00FF00, red = 0xFF0000, white = 0xFFFFFF,
                   black = 0x000000;

    QImage image = grab();
    const int w = image.width();
    const int h = image.height();
    for (int x : {0, w / 2, w - 1})
        EXPECT_EQ(rgb(image, x, h / 2), silver) << "inactive";

    bar.SetActive(true);
    bar.SetPos(40);
    image = grab();
    const int edge = w * 40 / 100;
    EXPECT_EQ(rgb(image, 2, 2), blue);
    EXPECT_EQ(rgb(image, edge - 1, 2), blue);
    EXPECT_EQ(rgb(image, edge, 2), silver);
    EXPECT_EQ(rgb(image, w - 1, h - 1), silver);
    SaveScreenshot(image, "qstrans_progress_40.png");

    bar.SetPos(250);  // sizes from a panel: never beyond 100
    EXPECT_EQ(bar.GetPos(), 100);
    image = grab();
    bool textBlack = false;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const unsigned c = rgb(image, x, y);
            textBlack = textBlack || c == black;
            EXPECT_TRUE(c == green || c == black || (c & 0xFF0000) < 0xFF0000) << "only green and black text";
        }
    }
    EXPECT_TRUE(textBlack) << "\"Complete\" in black";
    EXPECT_EQ(rgb(image, w - 1, 2), green);
    SaveScreenshot(image, "qstrans_progress_complete.png");

    bar.SetPos(40);
    bar.SetFailed(true);
    image = grab();
    EXPECT_EQ(rgb(image, 2, 2), red);
    EXPECT_EQ(rgb(image, edge, 2), silver);
    bool whiteOnRed = false;
    bool blackOnSilver = false;
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y) {
            const unsigned c = rgb(image, x, y);
            if (x < edge)
                whiteOnRed = whiteOnRed || c == white;
            else
                EXPECT_NE(c, white) << "no white on silver";
            if (x >= edge)
                blackOnSilver = blackOnSilver || c == black;
            EXPECT_NE(c, blue) << "no blue when failed";
        }
    }
    EXPECT_TRUE(whiteOnRed);
    EXPECT_TRUE(blackOnSilver);
    SaveScreenshot(image, "qstrans_progress_failed.png");
    bar.SetPos(-3);
    EXPECT_EQ(bar.GetPos(), 0);
}

}  // namespace
