// Running real dialogs off-screen in tests: the script plays the dialog from
// inside once it is shown; whatever it leaves open is ended with -1.
#pragma once

#include <gtest/gtest.h>

#include <Qt>
#include <functional>

#include "platform/win_dialog.h"
#include "platform/win_msgbox.h"

class DialogRig {
 public:
  DialogRig() = default;
  ~DialogRig() {
    platform_test::SetDialogScript(nullptr);
    platform_test::SetOpenFileHandler(nullptr);
  }
  DialogRig(const DialogRig&) = delete;
  DialogRig& operator=(const DialogRig&) = delete;

  // The script of every dialog that opens from now on; counts the dialogs.
  void Play(std::function<void(HWND hDlg)> script) {
    platform_test::SetDialogScript([this, script](HWND hDlg, int templateId) {
      ++shown;
      lastTemplate = templateId;
      if (script) script(hDlg);
    });
  }

  int shown = 0;
  int lastTemplate = 0;
};
