#pragma once
// The main window with its panels at hand, and a number cast as a user
// makes one.
#include <QTest>

#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "support/GuiTest.h"

namespace test_support {

struct PanelsFixture : WindowFixture {
  using WindowFixture::WindowFixture;
  rg_com_ptl_xyh::rg_CastPanel* cast() { return window->MainPanel()->CastPanel(); }
  rg_com_ptl_xyh::rg_HistoryPanel* history() { return window->MainPanel()->HistoryPanel(); }
  rg_com_ptl_xyh::rg_GuaPanel* gua() { return window->MainPanel()->GuaPanel(); }

  void CastNumber(const char* number, int zodiac = 1) {
    cast()->MethodChoice()->Select(1);
    cast()->NumberEntry()->clear();
    QTest::keyClicks(cast()->NumberEntry(), number);
    cast()->ZodiacChoice()->Select(zodiac);
    QTest::mouseClick(cast()->CalculateButton(), Qt::LeftButton);
  }

  // The ticked casts' delete runs off the window's thread: its outcome is
  // shown once the window has handled the answer.
  void WaitForDelete() {
    EXPECT_TRUE(WaitFor([this] { return !window->DeleteRunning(); }, 10000));
  }
};

}  // namespace test_support
