#pragma once

#include <cstdint>

// Message numbers, notification codes, key codes and flags of the window system. The values are
// those the program's handlers and private messages were written against (private messages are
// numbered from kWmUser = 0x400, area messages such as 512..517 reuse the mouse numbers), so they
// must not change.
namespace win {

using WParam = uintptr_t;
using LParam = intptr_t;
using LResult = intptr_t;
// Identifies a live window; 0 is none. Never reused while the process runs.
using WindowHandle = uintptr_t;

inline constexpr uint32_t kWmNull = 0x0000;
inline constexpr uint32_t kWmCreate = 0x0001;
inline constexpr uint32_t kWmDestroy = 0x0002;
inline constexpr uint32_t kWmMove = 0x0003;
inline constexpr uint32_t kWmSize = 0x0005;
// wparam 0: the top-level window lost the activation to another program's window.
inline constexpr uint32_t kWmActivate = 0x0006;
inline constexpr uint32_t kWmSetFocus = 0x0007;
inline constexpr uint32_t kWmKillFocus = 0x0008;
inline constexpr uint32_t kWmEnable = 0x000A;
inline constexpr uint32_t kWmSetRedraw = 0x000B;
inline constexpr uint32_t kWmSetText = 0x000C;
inline constexpr uint32_t kWmPaint = 0x000F;
inline constexpr uint32_t kWmClose = 0x0010;
inline constexpr uint32_t kWmQuit = 0x0012;
inline constexpr uint32_t kWmEraseBkgnd = 0x0014;
inline constexpr uint32_t kWmShowWindow = 0x0018;
inline constexpr uint32_t kWmSetCursor = 0x0020;
inline constexpr uint32_t kWmSetFont = 0x0030;
inline constexpr uint32_t kWmNotify = 0x004E;
inline constexpr uint32_t kWmContextMenu = 0x007B;
inline constexpr uint32_t kWmNcDestroy = 0x0082;
inline constexpr uint32_t kWmKeyDown = 0x0100;
inline constexpr uint32_t kWmKeyUp = 0x0101;
inline constexpr uint32_t kWmChar = 0x0102;
inline constexpr uint32_t kWmSysKeyDown = 0x0104;
inline constexpr uint32_t kWmSysKeyUp = 0x0105;
inline constexpr uint32_t kWmInitDialog = 0x0110;
inline constexpr uint32_t kWmCommand = 0x0111;
inline constexpr uint32_t kWmTimer = 0x0113;
inline constexpr uint32_t kWmHScroll = 0x0114;
inline constexpr uint32_t kWmVScroll = 0x0115;
// Sent to a pop-up menu's owner before the menu shows; wparam points to the win::Menu, which the
// owner may still change.
inline constexpr uint32_t kWmInitMenuPopup = 0x0117;
// A menu entry was highlighted: wparam low word the command id (0 for pop-ups, separators and
// none), high word the kMf flags; high word 0xFFFF when the menu closed. Sent to the menu's owner.
inline constexpr uint32_t kWmMenuSelect = 0x011F;
inline constexpr uint32_t kWmMouseMove = 0x0200;
inline constexpr uint32_t kWmLButtonDown = 0x0201;
inline constexpr uint32_t kWmLButtonUp = 0x0202;
inline constexpr uint32_t kWmLButtonDblClk = 0x0203;
inline constexpr uint32_t kWmRButtonDown = 0x0204;
inline constexpr uint32_t kWmRButtonUp = 0x0205;
inline constexpr uint32_t kWmRButtonDblClk = 0x0206;
inline constexpr uint32_t kWmMButtonDown = 0x0207;
inline constexpr uint32_t kWmMButtonUp = 0x0208;
inline constexpr uint32_t kWmMouseWheel = 0x020A;
inline constexpr uint32_t kWmCaptureChanged = 0x0215;
// Files dropped on a window that accepts them (kWsExAcceptFiles); lparam points to a DropFiles.
inline constexpr uint32_t kWmDropFiles = 0x0233;
// The pointer left the window's area (the window and its children); sent by the window system.
inline constexpr uint32_t kWmMouseLeave = 0x02A3;
// To a frame: show the prompt of string wparam in the status bar's message pane (0: empty).
inline constexpr uint32_t kWmSetMessageString = 0x0362;
inline constexpr uint32_t kWmUser = 0x0400;

// Button messages.
inline constexpr uint32_t kBmGetCheck = 0x00F0;
inline constexpr uint32_t kBmSetCheck = 0x00F1;
inline constexpr uint32_t kBmClick = 0x00F5;
// Button styles of the low word: a check box that only tells its parent, or one that toggles itself.
inline constexpr uint32_t kBsCheckBox = 0x0002;
inline constexpr uint32_t kBsAutoCheckBox = 0x0003;
inline constexpr int kBstUnchecked = 0;
inline constexpr int kBstChecked = 1;
inline constexpr int kBstIndeterminate = 2;

// Notification codes carried in the high word of kWmCommand's wparam.
inline constexpr int kBnClicked = 0;
inline constexpr int kBnDoubleClicked = 5;
inline constexpr int kEnSetFocus = 0x0100;
inline constexpr int kEnKillFocus = 0x0200;
inline constexpr int kEnChange = 0x0300;
inline constexpr int kCbnSelChange = 1;
inline constexpr int kCbnEditChange = 5;
inline constexpr int kCbnEditUpdate = 6;
inline constexpr int kCbnDblClk = 2;
inline constexpr int kCbnDropDown = 7;
inline constexpr int kCbnCloseUp = 8;
inline constexpr int kCbnSelEndOk = 9;
inline constexpr int kCbnSelEndCancel = 10;
inline constexpr int kLbnSelChange = 1;
inline constexpr int kLbnDblClk = 2;
// kWmNotify codes of list views and tab controls.
inline constexpr int kNmClick = -2;
inline constexpr int kNmDblClk = -3;
inline constexpr int kNmRClick = -5;
inline constexpr int kLvnItemChanged = -101;
inline constexpr int kTcnSelChange = -551;
inline constexpr int kTcnSelChanging = -552;
// kWmNotify codes of the grid control: the current cell is about to change (a nonzero result
// keeps the old one) and has changed.
inline constexpr int kGvnSelChanging = -100;
inline constexpr int kGvnSelChanged = -101;

// Window styles; a control's kind-specific bits live in the low word.
inline constexpr uint32_t kWsOverlapped = 0x00000000;
inline constexpr uint32_t kWsPopup = 0x80000000;
inline constexpr uint32_t kWsChild = 0x40000000;
inline constexpr uint32_t kWsVisible = 0x10000000;
inline constexpr uint32_t kWsDisabled = 0x08000000;
inline constexpr uint32_t kWsClipSiblings = 0x04000000;
inline constexpr uint32_t kWsClipChildren = 0x02000000;
inline constexpr uint32_t kWsCaption = 0x00C00000;
inline constexpr uint32_t kWsBorder = 0x00800000;
// The window's own scroll bars, right and bottom of the client area.
inline constexpr uint32_t kWsVScroll = 0x00200000;
inline constexpr uint32_t kWsHScroll = 0x00100000;
inline constexpr uint32_t kWsSysMenu = 0x00080000;
inline constexpr uint32_t kWsGroup = 0x00020000;
inline constexpr uint32_t kWsTabStop = 0x00010000;
// Extended styles.
inline constexpr uint32_t kWsExTopMost = 0x00000008;
inline constexpr uint32_t kWsExAcceptFiles = 0x00000010;
inline constexpr uint32_t kWsExDlgModalFrame = 0x00000001;

// kWmMenuSelect flags.
inline constexpr int kMfGrayed = 0x0001;
inline constexpr int kMfDisabled = 0x0002;
inline constexpr int kMfPopup = 0x0010;
inline constexpr int kMfSeparator = 0x0800;
inline constexpr int kMfMenuClosed = 0xFFFF;

// Scroll bars: which bar (the window's own ones or a scroll-bar control itself).
inline constexpr int kSbHorz = 0;
inline constexpr int kSbVert = 1;
inline constexpr int kSbCtl = 2;
inline constexpr int kSbBoth = 3;
// The request codes in the low word of kWmHScroll and kWmVScroll; the high word carries the
// position for the two thumb codes.
inline constexpr int kSbLineUp = 0;
inline constexpr int kSbLineLeft = 0;
inline constexpr int kSbLineDown = 1;
inline constexpr int kSbLineRight = 1;
inline constexpr int kSbPageUp = 2;
inline constexpr int kSbPageLeft = 2;
inline constexpr int kSbPageDown = 3;
inline constexpr int kSbPageRight = 3;
inline constexpr int kSbThumbPosition = 4;
inline constexpr int kSbThumbTrack = 5;
inline constexpr int kSbTop = 6;
inline constexpr int kSbLeft = 6;
inline constexpr int kSbBottom = 7;
inline constexpr int kSbRight = 7;
inline constexpr int kSbEndScroll = 8;
// Which fields of a ScrollInfo count.
inline constexpr unsigned kSifRange = 0x0001;
inline constexpr unsigned kSifPage = 0x0002;
inline constexpr unsigned kSifPos = 0x0004;
inline constexpr unsigned kSifDisableNoScroll = 0x0008;
inline constexpr unsigned kSifTrackPos = 0x0010;
inline constexpr unsigned kSifAll = kSifRange | kSifPage | kSifPos | kSifTrackPos;
// Style bit of a scroll-bar control: vertical (horizontal without it).
inline constexpr uint32_t kSbsVert = 0x0001;

// Pop-up menu flags: which point of the menu lies at the given point, which button chooses, and
// whether the command is returned instead of sent to the owner.
inline constexpr unsigned kTpmLeftButton = 0x0000;
inline constexpr unsigned kTpmRightButton = 0x0002;
inline constexpr unsigned kTpmLeftAlign = 0x0000;
inline constexpr unsigned kTpmCenterAlign = 0x0004;
inline constexpr unsigned kTpmRightAlign = 0x0008;
inline constexpr unsigned kTpmTopAlign = 0x0000;
inline constexpr unsigned kTpmVCenterAlign = 0x0010;
inline constexpr unsigned kTpmBottomAlign = 0x0020;
inline constexpr unsigned kTpmNoNotify = 0x0080;
inline constexpr unsigned kTpmReturnCmd = 0x0100;

// Toolbar window style: buttons lie flat and the one under the pointer shows raised.
inline constexpr uint32_t kTbStyleFlat = 0x0800;

// ShowWindow commands.
inline constexpr int kSwHide = 0;
inline constexpr int kSwShow = 5;
inline constexpr int kSwShowNoActivate = 4;
inline constexpr int kSwShowNormal = 1;
inline constexpr int kSwMinimize = 6;
inline constexpr int kSwRestore = 9;

// kWmSize wparam.
inline constexpr int kSizeRestored = 0;
inline constexpr int kSizeMinimized = 1;

// Mouse key flags in the wparam of mouse messages.
inline constexpr unsigned kMkLButton = 0x0001;
inline constexpr unsigned kMkRButton = 0x0002;
inline constexpr unsigned kMkShift = 0x0004;
inline constexpr unsigned kMkControl = 0x0008;
inline constexpr unsigned kMkMButton = 0x0010;

// Virtual key codes.
inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;
inline constexpr int kVkCapital = 0x14;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkPrior = 0x21;
inline constexpr int kVkNext = 0x22;
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkDelete = 0x2E;
// The Menu (application) key.
inline constexpr int kVkApps = 0x5D;
inline constexpr int kVkF1 = 0x70;
inline constexpr int kVkF4 = 0x73;
inline constexpr int kVkF10 = 0x79;
inline constexpr int kVkNumLock = 0x90;
inline constexpr int kVkScroll = 0x91;

// Packing of two 16-bit values into a parameter, as mouse points and command ids travel.
constexpr LParam MakeLParam(int low, int high) {
  return static_cast<LParam>(static_cast<uint32_t>(static_cast<uint16_t>(low)) |
                             (static_cast<uint32_t>(static_cast<uint16_t>(high)) << 16));
}
constexpr WParam MakeWParam(int low, int high) { return static_cast<WParam>(static_cast<uint32_t>(MakeLParam(low, high))); }
constexpr int LoWord(uintptr_t value) { return static_cast<int>(value & 0xFFFF); }
constexpr int HiWord(uintptr_t value) { return static_cast<int>((value >> 16) & 0xFFFF); }
// Mouse coordinates are signed 16-bit (a captured drag may leave the window to the left).
constexpr int GetXLParam(LParam value) { return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF)); }
constexpr int GetYLParam(LParam value) { return static_cast<int16_t>(static_cast<uint16_t>((value >> 16) & 0xFFFF)); }

}  // namespace win
