#include "config_dialog.h"

#include <commctrl.h>

#include "resource.h"
#include "settings.h"
#include "system_functions.h"

namespace {

void ShowNumber(HWND dialog, int labelId, int value)
{
    ::SetDlgItemInt(dialog, labelId, static_cast<UINT>(value), TRUE);
}

void SetupSlider(HWND dialog, int sliderId, int labelId, int low, int high, int value)
{
    HWND slider = ::GetDlgItem(dialog, sliderId);
    ::SendMessageA(slider, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));
    ::SendMessageA(slider, TBM_SETPAGESIZE, 0, 2);
    ::SendMessageA(slider, TBM_SETPOS, TRUE, value);
    ShowNumber(dialog, labelId, value);
}

int SliderValue(HWND dialog, int sliderId)
{
    return static_cast<int>(::SendDlgItemMessageA(dialog, sliderId, TBM_GETPOS, 0, 0));
}

void Show(HWND dialog, const SaverSettings& settings)
{
    ::CheckDlgButton(dialog, IDC_SOUND, settings.sound ? BST_CHECKED : BST_UNCHECKED);
    SetupSlider(dialog, IDC_PUMPKINS, IDC_PUMPKINS_VALUE, SaverSettings::kMinPumpkins, SaverSettings::kMaxPumpkins,
                settings.pumpkins);
    SetupSlider(dialog, IDC_SPEED, IDC_SPEED_VALUE, SaverSettings::kMinSpeed, SaverSettings::kMaxSpeed, settings.speed);
}

INT_PTR CALLBACK SettingsProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        Show(dialog, LoadSettings());
        return TRUE;
    case WM_HSCROLL:
        ShowNumber(dialog, IDC_PUMPKINS_VALUE, SliderValue(dialog, IDC_PUMPKINS));
        ShowNumber(dialog, IDC_SPEED_VALUE, SliderValue(dialog, IDC_SPEED));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK: {
            SaverSettings settings;
            settings.sound = ::IsDlgButtonChecked(dialog, IDC_SOUND) == BST_CHECKED;
            settings.pumpkins = SliderValue(dialog, IDC_PUMPKINS);
            settings.speed = SliderValue(dialog, IDC_SPEED);
            if (!SaveSettings(settings)) {
                char title[64] = "Marigold";
                ::GetWindowTextA(dialog, title, sizeof(title));
                ::MessageBoxA(dialog, "The settings could not be saved.", title, MB_OK | MB_ICONEXCLAMATION);
                return TRUE;
            }
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_DEFAULTS:
            Show(dialog, SaverSettings());
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

void RunSettingsDialog(HINSTANCE instance, HWND owner)
{
    // The sliders' class comes from the common controls, which are loaded from the system (or the
    // side-by-side version the manifest asks for), never from the saver's folder.
    const auto initCommonControls = CommonControls().initCommonControlsEx;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_BAR_CLASSES};
    if (initCommonControls) initCommonControls(&controls);
    ::DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_SETTINGS), owner, SettingsProcedure, 0);
}
