#pragma once
// Shared by the page canvas tests: a project of a panel type, a real canvas
// in a test frame, and a page editor fake around it that passes the
// canvas's calls on and records what the canvas tells the editor.

#include "plintvlr/pageedit/draw_window.h"
#include "plintvlr/pageedit/size_rect_manager.h"
#include "plintvlr/pageedit/tests/page_test_util.h"
#include "plintvlr/shell/tests/screenshot.h"
#include "platform/gdi/dc.h"
#include "platform/ui/frame_window.h"
#include "platform/ui/mdi_client.h"
#include "platform/ui/mdi_frame.h"
#include "platform/ui/testing/test_driver.h"

#include <QImage>

#include <memory>
#include <vector>

class CanvasEditorFake : public FakePageEditor {
public:
    explicit CanvasEditorFake(int panelType) : FakePageEditor(panelType) {}

    void InvalidateLogicalRect(const TRect& rect) override { canvas->InvalidateLogicalRect(rect); }
    TRect LogicalToDeviceRect(const TRect& rect) const override { return canvas->LogicalToDeviceRect(rect); }
    TRect DeviceToLogicalRect(const TRect& rect) const override
    {
        return static_cast<const DrawWindow*>(canvas)->DeviceToLogicalRect(rect);
    }
    void SetPageModified() override { canvas->GetModel().SetModified(); }
    bool IsAnimating() const override { return canvas->IsAnimating(); }
    void SetPickupMode(bool on) override { canvas->SetPickupFlag(on); }
    void InvalidateAll() override { canvas->InvalidateAll(); }
    int GetBackgroundColor() const override { return canvas->GetBackgroundColor(); }
    void SetBackgroundColor(int index) override { canvas->SetBackgroundColor(index); }
    void SnapToGraphicsGrid(TPoint& point) const override { canvas->SnapToGrid(point); }
    const TouchGrid* GetTouchGrid() const override { return canvas->GetTouchGrid(); }
    TMDIClient* GetMDIClient() const override { return client; }
    void InvalidateBars() override { ++barRepaints; }
    void SetCursorPos(const TPoint& point) override { cursorPos = point; }
    void SetObjectPos(const TPoint& value, bool position) override
    {
        objectPos = value;
        objectIsPosition = position;
    }
    bool AskSave() override { return true; }
    void OpenPage(int page) override { openedPages.push_back(page); }

    DrawWindow* canvas = nullptr;
    TMDIClient* client = nullptr;
    int barRepaints = 0;
    TPoint cursorPos{-1, -1};
    TPoint objectPos{-1, -1};
    bool objectIsPosition = false;
    std::vector<int> openedPages;
};

class CanvasFixture : public PageFixture {
protected:
    void TearDown() override
    {
        SetActivePageEditor(nullptr);
        for (auto* window : {static_cast<TWindow*>(frame_.get()), static_cast<TWindow*>(sheets_.get())}) {
            if (window && window->IsWindow())
                window->Destroy();
        }
        frame_.reset();
        sheets_.reset();
        driver.ProcessEvents();
        editor_.reset();
        PageFixture::TearDown();
    }

    // A project of the panel type and a canvas of it shown at `scale` times
    // the panel screen's size.
    DrawWindow& OpenCanvas(int panelType, int scale = 1, const std::string& project = "CANVAS")
    {
        Open(panelType, project);
        // The element sheets open in an MDI frame of their own.
        if (!sheets_) {
            sheets_ = std::make_unique<TMDIFrame>("Sheets", TResId());
            sheets_->Attr.W = 700;
            sheets_->Attr.H = 500;
            driver.Show(*sheets_);
            // Away from the canvas, so the mouse over the canvas is over it alone.
            sheets_->MoveWindow(1200, 0, 700, 500);
        }
        editor_ = std::make_unique<CanvasEditorFake>(panelType);
        editor_->client = sheets_->GetMDIClient();
        SetActivePageEditor(editor_.get());
        if (frame_ && frame_->IsWindow())
            frame_->Destroy();
        canvas_ = new DrawWindow();
        editor_->canvas = canvas_;
        frame_ = std::make_unique<TFrameWindow>(nullptr, "Canvas", canvas_);
        frame_->Attr.W = 200;
        frame_->Attr.H = 100;
        driver.Show(*frame_);
        SetScale(scale);
        return *canvas_;
    }

    // Sizes the frame so that the canvas's client area is `scale` screens.
    void SetScale(int scale)
    {
        const TSize screen = canvas_->GetScreenSize();
        const TRect outer = frame_->GetWindowRect();
        const TRect inner = canvas_->GetClientRect();
        frame_->MoveWindow(outer.left, outer.top, outer.Width() - inner.Width() + screen.cx * scale,
                           outer.Height() - inner.Height() + screen.cy * scale, true);
        driver.ProcessEvents();
        ASSERT_EQ(canvas_->GetClientRect().Size(), TSize(screen.cx * scale, screen.cy * scale));
    }

    // The canvas painted into an image of its client area's size.
    QImage PaintCanvas(bool printer = false)
    {
        (void)printer;
        const TRect client = canvas_->GetClientRect();
        QImage image(client.Width(), client.Height(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        TDC dc(image);
        TRect area = client;
        canvas_->Paint(dc, true, area);
        return image;
    }

    void Page(std::uint32_t key, std::initializer_list<std::string> elements)
    {
        std::string hex = FormatText("%02X %02X", key & 0xFF, (key >> 8) & 0xFF);
        for (const std::string& element : elements)
            hex += " " + element;
        StorePage(key, hex + " 00");
    }

    // Client points of the canvas from panel pixels of the screen (y down).
    TPoint At(int x, int y) const
    {
        const TSize screen = canvas_->GetScreenSize();
        const TRect client = canvas_->GetClientRect();
        return {x * client.Width() / screen.cx, y * client.Height() / screen.cy};
    }
    // The sheets the placed or configured elements opened.
    int OpenSheets() { return static_cast<int>(sheets_->GetMDIClient()->GetMDIChildren().size()); }
    void CloseSheets()
    {
        sheets_->GetMDIClient()->CloseChildren();
        driver.ProcessEvents();
    }

    DrawWindow& CanvasWindow() { return *canvas_; }
    SizeRectManager& Model() { return canvas_->GetModel(); }
    CanvasEditorFake& EditorFake() { return *editor_; }
    TFrameWindow& Frame() { return *frame_; }

    TTestDriver driver;

private:
    std::unique_ptr<CanvasEditorFake> editor_;
    std::unique_ptr<TFrameWindow> frame_;
    std::unique_ptr<TMDIFrame> sheets_;
    DrawWindow* canvas_ = nullptr;
};
