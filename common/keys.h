// Key codes of the keys table: the Win32 virtual-key codes, on every platform.
#pragma once

constexpr int VK_CODE_ESCAPE = 0x1B;
constexpr int VK_CODE_LEFT = 0x25;
constexpr int VK_CODE_UP = 0x26;
constexpr int VK_CODE_RIGHT = 0x27;
constexpr int VK_CODE_DOWN = 0x28;
constexpr int VK_CODE_A = 0x41;
constexpr int VK_CODE_Q = 0x51;
constexpr int VK_CODE_F1 = 0x70;
constexpr int KEY_TABLE_SIZE = 256;
