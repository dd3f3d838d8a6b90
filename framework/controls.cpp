#include "framework/controls.h"

namespace {

// The owner-draw request a parent reflects to its control becomes a call to the control's DrawItem.
template <class Control>
bool ReflectDrawItem(Control& control, UINT message, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    control.DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

} // namespace

void CButton::DrawItem(const DRAWITEMSTRUCT&) {}

bool CButton::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    return ReflectDrawItem(*this, message, lParam, result);
}

void CStatic::DrawItem(const DRAWITEMSTRUCT&) {}

bool CStatic::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    return ReflectDrawItem(*this, message, lParam, result);
}
