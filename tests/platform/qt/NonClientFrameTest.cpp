// Our own window frame on the offscreen display: layout, hit-testing, the
// caption buttons, and moving and sizing by hand (the offscreen window system
// declines to do it, as a desktop without a window manager does).

#include "tests/platform/qt/FormFixture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kNavy = qRgb(0, 0, 128);
constexpr QRgb kGrey = qRgb(128, 128, 128);
constexpr QRgb k3DLight = qRgb(223, 223, 223);

// Pointer events as the window system delivers them to the form.
struct TPointer {
    QWidget* Form;
    QPoint Global;

    void Send(QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons held) {
        Global = Form->mapToGlobal(local);
        QMouseEvent event(type, local, Global, button, held, Qt::NoModifier);
        QCoreApplication::sendEvent(Form, &event);
    }
    void Press(QPoint at) { Send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton); }
    void DoubleClick(QPoint at) {
        Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    }
    void Release(QPoint at) { Send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton); }
    void Hover(QPoint at) { Send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton); }
    // A drag step by DELTA screen pixels from where the pointer was pressed;
    // the form may have moved meanwhile, so the position is taken from the
    // screen.
    void DragTo(QPoint global) {
        const QPoint local = Form->mapFromGlobal(global);
        QMouseEvent event(QEvent::MouseMove, local, global, Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(Form, &event);
        Global = global;
    }
    void Click(QPoint at) {
        Press(at);
        Release(at);
    }
};

} // namespace

TEST(NonClientFrameLayout, FrameAndCaptionPerBorderStyle) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    // Sizing frame 4, caption 19 (18 of bar and its line).
    EXPECT_EQ(form.Frame->CaptionRect(), (TRect{4, 4, 396, 22}));
    EXPECT_EQ(form.Frame->ClientRect(), (TRect{4, 23, 396, 296}));
    EXPECT_EQ(form.Form->contentsMargins(), QMargins(4, 23, 4, 4));
    form.Frame->SetBorderStyle(bsToolWindow);
    EXPECT_EQ(form.Frame->CaptionRect(), (TRect{3, 3, 397, 17}));
    EXPECT_EQ(form.Form->contentsMargins(), QMargins(3, 18, 3, 3));
    form.Frame->SetBorderStyle(bsNone);
    EXPECT_TRUE(form.Frame->CaptionRect().IsEmpty());
    EXPECT_EQ(form.Form->contentsMargins(), QMargins(0, 0, 0, 0));
    // A changed metric shows at the next layout.
    SetSystemMetric(SM_CYCAPTION, 25);
    form.Frame->SetBorderStyle(bsSingle);
    EXPECT_EQ(form.Form->contentsMargins(), QMargins(3, 28, 3, 3));
    EXPECT_TRUE(form.Form->windowFlags().testFlag(Qt::FramelessWindowHint));
}

TEST(NonClientFrameLayout, CaptionButtonsFromTheRight) {
    const TRect bar{4, 4, 396, 22};
    const TCaptionButtons all = cbClose | cbMinimize | cbMaximize;
    EXPECT_EQ(CaptionButtonRect(bar, 18, all, cbClose), (TRect{378, 6, 394, 20}));
    EXPECT_EQ(CaptionButtonRect(bar, 18, all, cbMaximize), (TRect{360, 6, 376, 20}));
    EXPECT_EQ(CaptionButtonRect(bar, 18, all, cbMinimize), (TRect{344, 6, 360, 20}));
    EXPECT_TRUE(CaptionButtonRect(bar, 18, all, cbHelp).IsEmpty());
    // Help next to close, with the same gap.
    EXPECT_EQ(CaptionButtonRect(bar, 18, cbClose | cbHelp, cbHelp), (TRect{360, 6, 376, 20}));
}

TEST(NonClientFrameHitTest, AreasOfASizeableWindow) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    const std::pair<QPoint, int> cases[] = {
        {{0, 0}, HTTOPLEFT},      {{21, 2}, HTTOPLEFT},
        {{2, 21}, HTTOPLEFT},     {{22, 2}, HTTOP},
        {{200, 0}, HTTOP},        {{399, 0}, HTTOPRIGHT},
        {{399, 150}, HTRIGHT},    {{0, 30}, HTLEFT},
        {{200, 299}, HTBOTTOM},   {{398, 298}, HTBOTTOMRIGHT},
        {{0, 299}, HTBOTTOMLEFT}, {{378, 297}, HTBOTTOMRIGHT},
        {{200, 10}, HTCAPTION},   {{10, 10}, HTSYSMENU},
        {{385, 12}, HTCLOSE},     {{370, 12}, HTMAXBUTTON},
        {{350, 12}, HTMINBUTTON}, {{377, 12}, HTCAPTION},
        {{200, 22}, HTCAPTION},   {{200, 23}, HTCLIENT},
        {{-1, 5}, HTNOWHERE},     {{400, 5}, HTNOWHERE},
    };
    for (const auto& [at, code] : cases) {
        EXPECT_EQ(form.Frame->HitTest(at), code) << at.x() << "," << at.y();
    }
    form.Frame->SetBorderStyle(bsSingle);
    EXPECT_EQ(form.Frame->HitTest({0, 100}), HTBORDER);
    EXPECT_EQ(form.Frame->HitTest({200, 3}), HTCAPTION);
    form.Frame->SetBorderStyle(bsToolWindow);
    EXPECT_EQ(form.Frame->HitTest({10, 10}), HTCAPTION); // no system-menu box
    form.Frame->SetBorderStyle(bsNone);
    EXPECT_EQ(form.Frame->HitTest({0, 0}), HTCLIENT);
}

TEST(NonClientFramePointer, SizingCursorsOverTheBorders) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    TPointer pointer{form.Form.get(), {}};
    const std::pair<QPoint, Qt::CursorShape> cases[] = {
        {{399, 150}, Qt::SizeHorCursor}, {{200, 299}, Qt::SizeVerCursor},
        {{0, 0}, Qt::SizeFDiagCursor},   {{399, 0}, Qt::SizeBDiagCursor},
        {{200, 10}, Qt::ArrowCursor},    {{0, 299}, Qt::SizeBDiagCursor},
    };
    for (const auto& [at, shape] : cases) {
        pointer.Hover(at);
        EXPECT_EQ(form.Form->windowHandle()->cursor().shape(), shape) << at.x() << "," << at.y();
    }
}

TEST(NonClientFramePointer, DraggingTheCaptionMovesTheWindow) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    form.Form->move(100, 100);
    const QPoint start = form.Form->pos();
    TPointer pointer{form.Form.get(), {}};
    pointer.Press({200, 10});
    const QPoint pressed = pointer.Global;
    pointer.DragTo(pressed + QPoint(2, 1)); // within the drag threshold
    EXPECT_EQ(form.Form->pos(), start);
    pointer.DragTo(pressed + QPoint(50, 30));
    EXPECT_EQ(form.Form->pos(), start + QPoint(50, 30));
    pointer.DragTo(pressed + QPoint(-20, 5));
    EXPECT_EQ(form.Form->pos(), start + QPoint(-20, 5));
    pointer.Release(form.Form->mapFromGlobal(pointer.Global));
    pointer.Hover({200, 10});
    EXPECT_EQ(form.Form->pos(), start + QPoint(-20, 5));
    EXPECT_EQ(form.Form->size(), QSize(400, 300));
}

TEST(NonClientFramePointer, DraggingBordersResizesTheWindow) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    form.Form->move(100, 100);
    TPointer pointer{form.Form.get(), {}};
    pointer.Press({398, 298});
    pointer.DragTo(pointer.Global + QPoint(30, 20));
    EXPECT_EQ(form.Form->geometry(), QRect(100, 100, 430, 320));
    pointer.Release(form.Form->mapFromGlobal(pointer.Global));

    // The left edge moves, the right one stays.
    pointer.Press({0, 150});
    pointer.DragTo(pointer.Global + QPoint(-20, 40));
    EXPECT_EQ(form.Form->geometry(), QRect(80, 100, 450, 320));
    // Never smaller than the window system's smallest track size.
    pointer.DragTo(pointer.Global + QPoint(1000, 0));
    EXPECT_EQ(form.Form->geometry(), QRect(100 + 430 - 112, 100, 112, 320));
    pointer.Release(form.Form->mapFromGlobal(pointer.Global));

    // A fixed frame does not size.
    form.Frame->SetBorderStyle(bsSingle);
    const QRect fixed = form.Form->geometry();
    pointer.Press({form.Form->width() - 1, form.Form->height() - 1});
    pointer.DragTo(pointer.Global + QPoint(30, 30));
    EXPECT_EQ(form.Form->geometry(), fixed);
}

TEST(NonClientFramePointer, CaptionButtonsPressAndAct) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    TPointer pointer{form.Form.get(), {}};
    const QPoint close(385, 12);
    EXPECT_EQ(Pixel(form.Shot(), 378, 6), k3DLight);
    pointer.Press(close);
    EXPECT_EQ(form.Frame->PressedButton(), HTCLOSE);
    // Pressed: the edge sinks (shadow at the top-left).
    EXPECT_EQ(Pixel(form.Shot(), 378, 6), kGrey);
    // Moving off lets it up; releasing there does nothing.
    pointer.Send(QEvent::MouseMove, {200, 10}, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(form.Frame->PressedButton(), 0);
    EXPECT_EQ(Pixel(form.Shot(), 378, 6), k3DLight);
    pointer.Release({200, 10});
    EXPECT_TRUE(form.Form->isVisible());

    pointer.Click({370, 12});
    EXPECT_TRUE(form.Form->isMaximized());
    pointer.Click({form.Form->width() - 30, 12});
    EXPECT_FALSE(form.Form->isMaximized());
    pointer.Click({350, 12});
    EXPECT_TRUE(form.Form->isMinimized());
    form.Form->showNormal();

    pointer.Click(close);
    EXPECT_FALSE(form.Form->isVisible());
}

TEST(NonClientFramePointer, GreyedButtonsDoNothing) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    form.Frame->SetBorderIcons(biSystemMenu | biMinimize);
    TPointer pointer{form.Form.get(), {}};
    pointer.Click({370, 12});
    EXPECT_FALSE(form.Form->isMaximized());
    pointer.DoubleClick({200, 10});
    EXPECT_FALSE(form.Form->isMaximized());
}

TEST(NonClientFramePointer, DoubleClicks) {
    TClassicDesktop desktop;
    TTestForm form(400, 300);
    TPointer pointer{form.Form.get(), {}};
    pointer.Press({200, 10});
    pointer.DoubleClick({200, 10});
    pointer.Release({200, 10});
    EXPECT_TRUE(form.Form->isMaximized());
    pointer.Press({200, 10});
    pointer.DoubleClick({200, 10});
    pointer.Release({200, 10});
    EXPECT_FALSE(form.Form->isMaximized());
    // On the window icon: close.
    pointer.DoubleClick({10, 10});
    EXPECT_FALSE(form.Form->isVisible());
}

TEST(NonClientFramePaint, StandardCaptionFollowsActivation) {
    TClassicDesktop desktop;
    TTestForm form(400, 120, "Plain");
    TNcActivateEvent inactive(false);
    QCoreApplication::sendEvent(form.Form.get(), &inactive);
    EXPECT_FALSE(form.Frame->Active());
    EXPECT_EQ(Pixel(form.Shot(), 300, 5), kGrey);
    TNcActivateEvent active(true);
    QCoreApplication::sendEvent(form.Form.get(), &active);
    EXPECT_EQ(Pixel(form.Shot(), 300, 5), kNavy);

    // Another window taking the focus makes ours inactive.
    TTestForm other(200, 100);
    other.Form->activateWindow();
    QApplication::setActiveWindow(other.Form.get());
    QApplication::processEvents();
    EXPECT_FALSE(form.Frame->Active());
    QApplication::setActiveWindow(form.Form.get());
    QApplication::processEvents();
    EXPECT_TRUE(form.Frame->Active());
}

TEST(NonClientFramePaint, FilterSeesNonClientEventsFirst) {
    TClassicDesktop desktop;
    TTestForm form(400, 120);
    // A filter installed after the frame takes the caption out of the
    // region; the frame then paints only the borders.
    struct TFilter : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == TNcPaintEvent::EventType()) {
                auto* paint = static_cast<TNcPaintEvent*>(event);
                ++Paints;
                paint->Dc()->fillRect(QRect(4, 4, 392, 18), Qt::green);
                paint->SetRegion(paint->Region() - QRegion(4, 4, 392, 18));
            }
            return false;
        }
    } filter;
    form.Form->installEventFilter(&filter);
    const QImage shot = form.Shot();
    EXPECT_GT(filter.Paints, 0);
    EXPECT_EQ(Pixel(shot, 200, 10), qRgb(0, 255, 0));
    EXPECT_EQ(Pixel(shot, 0, 60), k3DLight);
    form.Form->removeEventFilter(&filter);
}

TEST(NonClientFrameLifetime, FrameOfAndDestruction) {
    auto form = std::make_unique<TTestForm>(200, 100);
    EXPECT_EQ(TNonClientFrame::Of(form->Form.get()), form->Frame);
    QWidget plain;
    EXPECT_EQ(TNonClientFrame::Of(&plain), nullptr);
    EXPECT_EQ(TNonClientFrame::Of(nullptr), nullptr);
    QPointer<TNonClientFrame> frame = form->Frame;
    form.reset();
    EXPECT_TRUE(frame.isNull());
}
