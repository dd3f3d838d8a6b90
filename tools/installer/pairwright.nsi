; The per-user installer of Pairwright: no administrator rights, the program folder under the user's
; local programs folder, a Start-menu shortcut, the language chosen at install, and an uninstaller that
; removes what was installed. Built by package.cmake, which passes VERSION, ICON, PICTURE (of the finish
; page), FILES (the file lists) and OUTFILE.
;
; Setup:       /S silent; /LANG=English or /LANG=Arabic the language, without the language question;
;              /D=<folder> another installation folder (last on the line).
; Uninstaller: /S silent; /REMOVESETTINGS with /S removes the settings too (without it they are kept).

; The program is x64 only, and so is its installer (this also runs where Wine has no 32-bit side).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include "${FILES}"

!define PRODUCT "Pairwright"
!define MAKER "Vorn"
!define SETTINGS_KEY "Software\Vorn\Pairwright"
!define MAKER_KEY "Software\Vorn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pairwright"
!define SHORTCUT "$SMPROGRAMS\Pairwright.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${MAKER} ${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${PICTURE}"
!define MUI_ABORTWARNING
!define MUI_LANGDLL_REGISTRY_ROOT HKCU
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!define MUI_LANGDLL_ALWAYSSHOW
!define MUI_LANGDLL_WINDOWTITLE "${PRODUCT} ${VERSION}"
!define MUI_LANGDLL_INFO "Please select the language of ${PRODUCT}."
!define MUI_FINISHPAGE_RUN "$INSTDIR\Pairwright.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE un.AskAboutSettings
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Arabic"
!insertmacro MUI_RESERVEFILE_LANGDLL

LangString AskRemoveSettings ${LANG_ENGLISH} "Remove your ${PRODUCT} settings as well? Choose No to keep them for a later installation."
LangString AskRemoveSettings ${LANG_ARABIC} "هل تريد حذف إعدادات ${PRODUCT} أيضًا؟ اختر «لا» للاحتفاظ بها لتثبيت لاحق."
LangString ArabicFailed ${LANG_ENGLISH} "${PRODUCT} could not be set up in Arabic in $INSTDIR."
LangString ArabicFailed ${LANG_ARABIC} "تعذّر إعداد ${PRODUCT} باللغة العربية في $INSTDIR."

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) ${MAKER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"

Function .onInit
    SetShellVarContext current
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/LANG=" $1
    ${If} ${Errors}
        !insertmacro MUI_LANGDLL_DISPLAY
    ${ElseIf} $1 == "English"
        StrCpy $LANGUAGE ${LANG_ENGLISH}
    ${ElseIf} $1 == "Arabic"
        StrCpy $LANGUAGE ${LANG_ARABIC}
    ${Else}
        MessageBox MB_ICONSTOP "/LANG=$1: the language is English or Arabic." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

Section
    !insertmacro PW_INSTALL_FILES
    ; The program reads "Default" of [Language]; Arabic also needs the right-to-left renderings as ui\.
    ${If} $LANGUAGE == ${LANG_ARABIC}
        ClearErrors
        CopyFiles /SILENT "$INSTDIR\lan\Arabic\ui\*.*" "$INSTDIR\ui"
        WriteINIStr "$INSTDIR\lan\pairwright.ini" "Language" "Default" "Arabic"
        ${If} ${Errors}
            MessageBox MB_ICONSTOP|MB_RIGHT|MB_RTLREADING "$(ArabicFailed)" /SD IDOK
            SetErrorLevel 2
            Abort
        ${EndIf}
    ${EndIf}
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "${SHORTCUT}" "$INSTDIR\Pairwright.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Pairwright.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegStr HKCU "${UNINSTALL_KEY}" "${MUI_LANGDLL_REGISTRY_VALUENAME}" $LANGUAGE
SectionEnd

Var RemoveSettings

Function un.onInit
    SetShellVarContext current
    !insertmacro MUI_UNGETLANGUAGE
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        StrCpy $RemoveSettings 1
    ${EndIf}
FunctionEnd

; Asked once the user has confirmed the removal; a silent uninstall has only the switch.
Function un.AskAboutSettings
    StrCpy $RemoveSettings 0
    ${If} "$(^RTL)" == 1
        MessageBox MB_YESNO|MB_ICONQUESTION|MB_RIGHT|MB_RTLREADING "$(AskRemoveSettings)" IDNO +2
        StrCpy $RemoveSettings 1
    ${Else}
        MessageBox MB_YESNO|MB_ICONQUESTION "$(AskRemoveSettings)" IDNO +2
        StrCpy $RemoveSettings 1
    ${EndIf}
FunctionEnd

Section "Uninstall"
    ${If} $RemoveSettings == 1
        DeleteRegKey HKCU "${SETTINGS_KEY}"
        DeleteRegKey /ifempty HKCU "${MAKER_KEY}"
    ${EndIf}

    !insertmacro PW_UNINSTALL_FILES
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "${SHORTCUT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
