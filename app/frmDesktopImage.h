#pragma once
// The main capture window: hub of every command, owner of the tray icon and
// holder of the current capture.
#include "base/win/Form.h"

namespace px {

class frmDesktopImage : public win::Form {
public:
    static frmDesktopImage& Get();

private:
    frmDesktopImage() = default;
    void CreateFormWindow() override;
    void Form_Load() override;
    void Form_Unload() override;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    void Form_Resize(UINT sizeType);
};

}  // namespace px
