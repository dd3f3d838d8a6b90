#include "framework/controls.h"

void CButton::DrawItem(const DRAWITEMSTRUCT&) {}

bool CButton::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}

void CStatic::DrawItem(const DRAWITEMSTRUCT&) {}

bool CStatic::OnReflectedMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != WM_DRAWITEM) return false;
    DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    result = TRUE;
    return true;
}
