// Dialogs from templates, modal or modeless. The object is bound to its window at WM_INITDIALOG
// (the pointer travels as the dialog's creation parameter); from then on every message goes through
// WindowProc, and the dialog class's own procedure is the default.
// DoModal runs the framework's own loop (fw::RouteMessage), so every dialog of ours, modal or
// modeless, gets its keyboard handling (Tab, Enter, Escape) while it runs; modal loops nest.
#pragma once

#include "framework/wnd.h"

class CDialog : public CWnd {
public:
    CDialog(UINT templateId, CWnd* parent = nullptr) : m_nIDTemplate(templateId), m_pParentWnd(parent) {}

    UINT GetTemplateId() const { return m_nIDTemplate; }

    // Runs until EndDialog with the parent's top-level window disabled; returns EndDialog's result,
    // -1 when the dialog could not be created, 0 when it ended without EndDialog (destroyed, or
    // WM_QUIT, which stays queued for the loop outside).
    INT_PTR DoModal();
    bool Create(HWND parent);       // modeless
    void EndDialog(INT_PTR result); // modal: ends DoModal; modeless: destroys the window

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Runs DoDataExchange (controls are bound there); return FALSE when the focus was set.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange() {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_CLOSE. By default what the system's dialogs do: the Cancel command, unless the dialog has a
    // Cancel button and it is disabled.
    virtual LRESULT OnClose();
    // WM_COMMAND other than IDOK/IDCANCEL; true when handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control);

protected:
    // Binds a control of this dialog's template to its object.
    bool BindControl(int id, CWnd& control) { return control.SubclassDlgItem(static_cast<UINT>(id), this); }

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND wnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    bool CreateFromTemplate(HWND parent);
    void RunModalLoop();

    bool m_bModal = false;
    bool m_bEndModal = false;
    INT_PTR m_nModalResult = 0;
};
