// Presentation on the platform presenter: what a frame uploads, the vertical
// blank, lost targets, screenshots and the switches between a window and
// full screen.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "graphics/allgeo.h"
#include "graphics/displaymode.h"
#include "graphics/presentation.h"
#include "graphics/screenbuffer.h"
#include "platform/headless/headless.h"
#include "platform/sdl/sdl.h"
#include "platform/system.h"
#include "support/temp_dir.h"
#include "support/text.h"

namespace graphics_test {
namespace {

using platform::Rect;

constexpr int kW = 64;
constexpr int kH = 48;

// A window that records what it is asked to do.
class RecordingWindow : public platform::Window {
 public:
  struct Call {
    std::vector<Rect> rects;
    bool waitVBlank;
  };
  std::vector<Call> presents;
  int fullScreenCalls = 0;
  bool refuseWindowed = false;
  bool loseNext = false;

  void Show(bool) override {}
  bool IsVisible() const override { return true; }
  void Focus() override {}
  void SetTitle(const std::string&) override {}
  std::string GetTitle() const override { return {}; }
  bool SetIcon(const std::string&) override { return true; }
  void Move(int x, int y, int w, int h) override { origin_ = {x, y}, size_ = {w, h}; }
  platform::Point GetClientOrigin() const override { return origin_; }
  platform::Point GetClientSize() const override { return size_; }
  bool SetFullScreen(bool on) override {
    ++fullScreenCalls;
    if (!on && refuseWindowed) return false;
    fullScreen_ = on;
    return true;
  }
  bool IsFullScreen() const override { return fullScreen_; }
  void SetBorderless(bool) override {}
  void ShowSystemCursor(bool) override {}
  void WarpPointer(int, int) override {}
  bool IsActive() const override { return true; }
  bool IsMinimized() const override { return false; }
  bool IsMaximized() const override { return false; }
  platform::Point GetDisplayMode() const override { return size_; }
  platform::PresentResult Present(const platform::FrameView&, const Rect* rects, int count,
                                  bool waitVBlank) override {
    presents.push_back({std::vector<Rect>(rects, rects + count), waitVBlank});
    if (loseNext) {
      loseNext = false;
      return platform::PresentResult::kLost;
    }
    return platform::PresentResult::kOk;
  }
  void SetOverlay(std::vector<platform::OverlayText>) override {}
  bool SaveScreenshot(const std::string&) override { return false; }

 private:
  platform::Point origin_{0, 0}, size_{kW, kH};
  bool fullScreen_ = false;
};

class PresentationTest : public testing::Test {
 protected:
  void SetUp() override {
    host_ = &platform::InstallHeadless();
    host_->SetBoxEcho(false);
    platform::WindowDesc desc;
    desc.x = 100;
    desc.y = 50;
    desc.clientWidth = kW;
    desc.clientHeight = kH;
    window_ = static_cast<platform::HeadlessWindow*>(platform::CreateWindow(desc));
    ASSERT_NE(window_, nullptr);
    screen_ = std::make_unique<CScreenBuffer>(kW, kH, 0);
  }

  // One frame as the frame driver runs it: start, draw, present.
  template <typename Draw>
  int Frame(CDirectDrawScreen* presenter, Draw draw, int noWaitVSync = 0) {
    CScreenBuffer::StartFrame();
    draw();
    return presenter->PresentScreenBuffer(noWaitVSync);
  }

  platform::HeadlessBackend* host_ = nullptr;
  platform::HeadlessWindow* window_ = nullptr;
  std::unique_ptr<CScreenBuffer> screen_;
};

TEST_F(PresentationTest, OneDirtyRectanglePresentsExactlyThatRectangle) {
  CDirectDrawScreen presenter(window_, kW, kH, 32, 0);
  ASSERT_EQ(presenter.GetCreatedFlag(), 1);
  EXPECT_EQ(presenter.GetWindowLeft(), 100);
  EXPECT_EQ(presenter.GetWindowTop(), 50);

  // The first frame is a full redraw.
  EXPECT_EQ(Frame(&presenter, [] { CAllGeo::BoxFill(0, 0, kW, kH, 0, 0, 80); }), 1);
  EXPECT_EQ(window_->LastRects(), (std::vector<Rect>{{0, 0, kW, kH}}));
  EXPECT_EQ(window_->PixelAt(kW - 1, kH - 1), 0x000050u);

  Frame(&presenter, [] {});
  // Drawn and recorded: shown. Drawn and not recorded: not uploaded.
  EXPECT_EQ(Frame(&presenter,
                  [] {
                    CAllGeo::BoxFill(10, 12, 5, 3, 255, 0, 0);
                    CScreenBuffer::AddDirtyRect(10, 12, 5, 3);
                    CAllGeo::BoxFill(40, 40, 2, 2, 0, 255, 0);
                  }),
            1);
  EXPECT_EQ(window_->LastRects(), (std::vector<Rect>{{10, 12, 15, 15}}));
  EXPECT_EQ(window_->PixelAt(10, 12), 0xFF0000u);
  EXPECT_EQ(window_->PixelAt(14, 14), 0xFF0000u);
  EXPECT_EQ(window_->PixelAt(40, 40), 0x000050u);

  // A frame without changes uploads nothing but is still a frame.
  long long before = window_->PresentCount();
  Frame(&presenter, [] {});
  EXPECT_TRUE(window_->LastRects().empty());
  EXPECT_EQ(window_->PresentCount(), before + 1);

  // A full redraw presents the whole frame, the unrecorded change included.
  Frame(&presenter, [] { CScreenBuffer::SetFullRedraw(0); });
  EXPECT_EQ(window_->LastRects(), (std::vector<Rect>{{0, 0, kW, kH}}));
  EXPECT_EQ(window_->PixelAt(41, 41), 0x00FF00u);
}

TEST_F(PresentationTest, ScreenshotShowsThePixelsDrawn) {
  testsupport::TempDir dir;
  CDirectDrawScreen presenter(window_, kW, kH, 32, 0);
  Frame(&presenter, [] {
    CAllGeo::BoxFill(0, 0, kW, kH, 0, 0, 0);
    CAllGeo::TransCircleFill(32, 24, 8, 8, 255, 255, 255, 50);
  });
  std::string path = dir / "shot.png";
  ASSERT_TRUE(window_->SaveScreenshot(path));

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0) << image.message;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0) << image.message;
  ASSERT_EQ(image.width, static_cast<unsigned>(kW));
  auto pixel = [&](int x, int y) {
    const unsigned char* p = &rgb[(static_cast<size_t>(y) * kW + x) * 3];
    return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
  };
  EXPECT_EQ(pixel(32, 24), 0x7F7F7Fu);  // (255 * 128) >> 8
  EXPECT_EQ(pixel(24, 24), 0x7F7F7Fu);
  EXPECT_EQ(pixel(23, 24), 0u);
  EXPECT_EQ(pixel(0, 0), 0u);
}

TEST_F(PresentationTest, ALostTargetMakesTheNextFrameAFullRedraw) {
  CDirectDrawScreen presenter(window_, kW, kH, 32, 0);
  Frame(&presenter, [] {});
  Frame(&presenter, [] {});
  window_->LoseTarget();
  EXPECT_EQ(Frame(&presenter, [] { CScreenBuffer::AddDirtyRect(1, 1, 2, 2); }), 0);
  // The frame driver's check at the next frame's start sees it once.
  EXPECT_EQ(presenter.RestoreSurfaces(0), 0);
  EXPECT_EQ(presenter.RestoreSurfaces(1), 1);
  EXPECT_EQ(presenter.RestoreSurfaces(1), 0);
  EXPECT_EQ(Frame(&presenter, [] { CScreenBuffer::AddDirtyRect(1, 1, 2, 2); }), 1);
  EXPECT_EQ(window_->LastRects(), (std::vector<Rect>{{0, 0, kW, kH}}));
  Frame(&presenter, [] { CScreenBuffer::AddDirtyRect(1, 1, 2, 2); });
  EXPECT_EQ(window_->LastRects(), (std::vector<Rect>{{1, 1, 3, 3}}));
}

TEST_F(PresentationTest, RectanglesGoInListOrderWithOneVerticalBlankWait) {
  RecordingWindow window;
  CDirectDrawScreen presenter(&window, kW, kH, 32, 0);
  Frame(&presenter, [] {});
  Frame(&presenter, [] {
    CScreenBuffer::AddDirtyRect(30, 30, 4, 4);
    CScreenBuffer::AddDirtyRect(-2, 0, 4, 4);
  });
  Frame(&presenter, [] { CScreenBuffer::AddDirtyRect(5, 5, 1, 1); }, /*noWaitVSync=*/1);
  ASSERT_EQ(window.presents.size(), 3u);
  EXPECT_EQ(window.presents[0].rects, (std::vector<Rect>{{0, 0, kW, kH}}));
  EXPECT_TRUE(window.presents[0].waitVBlank);
  EXPECT_EQ(window.presents[1].rects, (std::vector<Rect>{{30, 30, 34, 34}, {0, 0, 2, 4}}));
  EXPECT_TRUE(window.presents[1].waitVBlank);
  EXPECT_FALSE(window.presents[2].waitVBlank);

  // Single rectangles: clipped to the buffer, nothing for one off the screen.
  window.presents.clear();
  EXPECT_EQ(presenter.Present(60, 40, 10, 10, 1), 1);
  EXPECT_EQ(presenter.Present(kW, 0, 10, 10, 1), 0);
  EXPECT_EQ(presenter.PresentAll(), 1);
  EXPECT_EQ(CScreenBuffer::BltToWindow(&window, -5, -5, 10, 10), 1);
  EXPECT_EQ(CScreenBuffer::BltToWindow(nullptr, 0, 0, 10, 10), 0);
  ASSERT_EQ(window.presents.size(), 3u);
  EXPECT_EQ(window.presents[0].rects, (std::vector<Rect>{{60, 40, kW, kH}}));
  EXPECT_TRUE(window.presents[0].waitVBlank);
  EXPECT_EQ(window.presents[1].rects, (std::vector<Rect>{{0, 0, kW, kH}}));
  EXPECT_EQ(window.presents[2].rects, (std::vector<Rect>{{0, 0, 5, 5}}));

  // Without a window nothing is presented and nothing breaks.
  CDirectDrawScreen none(nullptr, kW, kH, 32, 0);
  EXPECT_EQ(none.GetCreatedFlag(), 0);
  EXPECT_EQ(none.PresentScreenBuffer(0), 0);
  EXPECT_EQ(none.PresentAll(), 0);
}

displaymode::State SwitchState(platform::Window* window) {
  displaymode::State s;
  s.window = window;
  s.width = kW;
  s.height = kH;
  s.windowLeft = 100;
  s.windowTop = 50;
  s.fullScreenWidth = 1920;
  s.fullScreenHeight = 1080;
  s.clipRight = 1920;
  s.clipBottom = 1080;
  return s;
}

TEST_F(PresentationTest, FullScreenAndBackToTheRememberedPosition) {
  displaymode::State s = SwitchState(window_);
  EXPECT_EQ(displaymode::ToFullScreen(&s), 1);
  ASSERT_TRUE(s.screen);
  EXPECT_TRUE(window_->IsFullScreen());
  EXPECT_EQ(window_->GetDisplayMode(), (platform::Point{kW, kH}));
  EXPECT_EQ(s.screen->GetFullScreenFlag(), 1);
  EXPECT_EQ(s.screen->GetFullScreenWidth(), kW);
  EXPECT_EQ(Frame(s.screen.get(), [] { CAllGeo::BoxFill(0, 0, 4, 4, 9, 9, 9); }), 1);
  EXPECT_EQ(window_->PixelAt(3, 3), 0x090909u);

  window_->Move(0, 0, 1920, 1080);  // whatever the window became meanwhile
  std::vector<std::string> trace;
  s.trace = [&trace](const char* text) { trace.push_back(text); };
  EXPECT_EQ(displaymode::ToWindowScreen(&s), 1);
  EXPECT_EQ(trace, (std::vector<std::string>{"ToWindowScreen Start", "ToWindowScreen Mid 1",
                                             "ToWindowScreen Mid 2", "ToWindowScreen Mid 3",
                                             "ToWindowScreen Mid 4", "ToWindowScreen Mid 5",
                                             "ToWindowScreen Mid 6", "ToWindowScreen End"}));
  EXPECT_FALSE(window_->IsFullScreen());
  EXPECT_FALSE(window_->Borderless());
  EXPECT_EQ(window_->GetClientOrigin(), (platform::Point{100, 50}));
  EXPECT_EQ(window_->GetClientSize(), (platform::Point{kW, kH}));
  EXPECT_EQ(s.screen->GetFullScreenFlag(), 0);
  EXPECT_EQ(s.screen->GetFullScreenWidth(), 1920);
  EXPECT_EQ(s.screen->GetWindowLeft(), 100);
  EXPECT_TRUE(host_->Boxes().empty());
  EXPECT_EQ(Frame(s.screen.get(), [] {}), 1);
}

TEST_F(PresentationTest, ARefusedFullScreenShowsItsBoxOnceAndGoesOn) {
  window_->RefuseFullScreen(true);
  displaymode::State s = SwitchState(window_);
  EXPECT_EQ(displaymode::ToFullScreen(&s), 0);
  auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("フルスクリーン処理に失敗しました"));
  EXPECT_EQ(boxes[0].caption, "Error");
  EXPECT_EQ(boxes[0].style, MB_ICONWARNING);
  ASSERT_TRUE(s.screen);
  EXPECT_FALSE(window_->IsFullScreen());
  EXPECT_EQ(s.screen->GetFullScreenFlag(), 0);
  EXPECT_EQ(Frame(s.screen.get(), [] { CAllGeo::BoxFill(0, 0, 4, 4, 7, 7, 7); }), 1);
  EXPECT_EQ(window_->PixelAt(0, 0), 0x070707u);
}

TEST_F(PresentationTest, ARefusedWindowSwitchTriesFiveTimesAndShowsItsBoxOnce) {
  RecordingWindow window;
  displaymode::State s = SwitchState(&window);
  ASSERT_EQ(displaymode::ToFullScreen(&s), 1);
  window.refuseWindowed = true;
  window.fullScreenCalls = 0;
  EXPECT_EQ(displaymode::ToWindowScreen(&s), 0);
  EXPECT_EQ(window.fullScreenCalls, 5);
  auto boxes = host_->Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, testsupport::Sjis("ウィン化処理に失敗しました"));
  ASSERT_TRUE(s.screen);
  EXPECT_EQ(s.screen->GetFullScreenFlag(), 1);
  EXPECT_EQ(s.screen->PresentScreenBuffer(0), 1);
}

// With a real display: run by the graphics.display_mode_xvfb test under
// xvfb-run, which sets ZOR_XVFB.
TEST(DisplayModeXvfb, FullScreenAndBackKeepTheGameSize) {
  if (!std::getenv("ZOR_XVFB")) GTEST_SKIP() << "needs the display of xvfb-run";
  std::string error;
  std::unique_ptr<platform::Backend> backend = platform::CreateSdlBackend(&error);
  ASSERT_TRUE(backend) << error;
  platform::Install(std::move(backend));
  platform::WindowDesc desc;
  desc.x = 40;
  desc.y = 30;
  desc.clientWidth = 320;
  desc.clientHeight = 240;
  desc.title = "zor";
  platform::Window* window = platform::CreateWindow(desc);
  ASSERT_NE(window, nullptr);
  CScreenBuffer screen(320, 240, 0);

  displaymode::State s;
  s.window = window;
  s.width = 320;
  s.height = 240;
  s.windowLeft = 40;
  s.windowTop = 30;
  s.screen = std::make_unique<CDirectDrawScreen>(window, 320, 240, 32, 0);
  auto pump = [] {
    platform::Message m;
    while (platform::PeekMessage(&m, true)) platform::DispatchMessage(m);
  };
  auto frame = [&](int r) {
    CScreenBuffer::StartFrame();
    CAllGeo::BoxFill(0, 0, 320, 240, r, 0, 0);
    CScreenBuffer::AddDirtyRect(0, 0, 320, 240);
    EXPECT_EQ(s.screen->PresentScreenBuffer(1), 1);
    pump();
  };
  frame(10);

  EXPECT_EQ(displaymode::ToFullScreen(&s), 1);
  pump();
  EXPECT_TRUE(window->IsFullScreen());
  EXPECT_EQ(window->GetDisplayMode(), (platform::Point{320, 240}));
  frame(20);

  EXPECT_EQ(displaymode::ToWindowScreen(&s), 1);
  pump();
  frame(30);
  EXPECT_FALSE(window->IsFullScreen());
  EXPECT_EQ(window->GetClientSize(), (platform::Point{320, 240}));
  platform::DestroyWindow(window);
  platform::InstallHeadless();
}

}  // namespace
}  // namespace graphics_test
