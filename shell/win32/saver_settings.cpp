// The screensaver's settings on Windows: reading and writing them in the registry, and the dialog.
#include "shell/win32/saver_settings.h"

#include "shell/messages.h"
#include "shell/saver_args.h"
#include "shell/win32/window.h"

namespace {

// The REG_DWORD value `name`; false when it is missing or of another type.
bool read_dword(HKEY key, const char* name, uint32_t& value)
{
    DWORD type = 0, data = 0, size = sizeof data;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)&data, &size) != ERROR_SUCCESS) return false;
    if (type != REG_DWORD || size != sizeof data) return false;
    value = data;
    return true;
}

bool write_dword(HKEY key, const char* name, uint32_t value)
{
    const DWORD data = value;
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&data, sizeof data) == ERROR_SUCCESS;
}

bool write_saver_settings(const program_options& options)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, SAVER_SETTINGS_KEY, 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                        NULL) != ERROR_SUCCESS)
        return false;
    const bool written =
        write_dword(key, SAVER_SETTING_RESOLUTION, picture_resolution_to_store(options.resolution)) &&
        write_dword(key, SAVER_SETTING_FRAME_RATE, options.fps ? 1 : 0);
    RegCloseKey(key);
    return written;
}

// The radio buttons in the order of their ids.
const picture_resolution RESOLUTION_BUTTONS[] = {RESOLUTION_AUTO, RESOLUTION_DESIGN, RESOLUTION_WINDOW};

void show_settings(HWND dialog, const program_options& options)
{
    int button = IDC_RESOLUTION_AUTO;
    for (int k = 0; k < 3; ++k)
        if (RESOLUTION_BUTTONS[k] == options.resolution) button = IDC_RESOLUTION_AUTO + k;
    CheckRadioButton(dialog, IDC_RESOLUTION_AUTO, IDC_RESOLUTION_WINDOW, button);
    CheckDlgButton(dialog, IDC_FRAME_RATE, options.fps ? BST_CHECKED : BST_UNCHECKED);
}

program_options chosen_settings(HWND dialog)
{
    program_options options;
    for (int k = 0; k < 3; ++k)
        if (IsDlgButtonChecked(dialog, IDC_RESOLUTION_AUTO + k) == BST_CHECKED)
            options.resolution = RESOLUTION_BUTTONS[k];
    options.fps = IsDlgButtonChecked(dialog, IDC_FRAME_RATE) == BST_CHECKED;
    return options;
}

INT_PTR CALLBACK settings_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const message_text& box = message_text_of(MESSAGE_SAVER_SETTINGS);
        SetWindowTextA(dialog, box.caption);
        SetDlgItemTextA(dialog, IDC_SAVER_DESCRIPTION, box.text);
        show_settings(dialog, read_saver_settings());
        return TRUE;  // the focus goes to the first control
    }
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            if (write_saver_settings(chosen_settings(dialog))) {
                EndDialog(dialog, 0);
            } else {
                win32_message_box_owned(MESSAGE_SETTINGS_NOT_SAVED, dialog);
                EndDialog(dialog, 1);
            }
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

program_options read_saver_settings()
{
    program_options options;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, SAVER_SETTINGS_KEY, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return options;
    uint32_t value = 0;
    options.resolution =
        stored_picture_resolution(read_dword(key, SAVER_SETTING_RESOLUTION, value) ? &value : nullptr);
    options.fps = stored_frame_rate(read_dword(key, SAVER_SETTING_FRAME_RATE, value) ? &value : nullptr);
    RegCloseKey(key);
    return options;
}

int run_saver_settings(HWND owner)
{
    const INT_PTR result = DialogBoxParamA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDD_SAVER_SETTINGS),
                                           owner, settings_proc, 0);
    return result == -1 ? EXIT_CANNOT_RUN : (int)result;
}
