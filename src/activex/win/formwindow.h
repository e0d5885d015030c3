#pragma once

#include "activex/controlform.h"

#include <windows.h>

#include <memory>

namespace tally::activex::win {

// The control's form with its native window, as the COM glue sees it. The
// product's is the Qt list window in control mode; the cross-built test
// control links a stand-in.
class FormWindow
{
public:
    virtual ~FormWindow() = default;
    virtual ControlForm &form() = 0;
    // Shows the form as a child window of parent at rect (in place activation);
    // returns its window.
    virtual HWND embed(HWND parent, const RECT &rect) = 0;
    virtual void setBounds(const RECT &rect) = 0;
    // Takes the form's window out of the container again.
    virtual void unembed() = 0;
    // Draws the form into a device context (a container's picture of the control).
    virtual void draw(HDC dc, const RECT &bounds) = 0;
};

// Creates the form of one control; defined by the form's library. The caller
// owns the result.
std::unique_ptr<FormWindow> createFormWindow();

} // namespace tally::activex::win
