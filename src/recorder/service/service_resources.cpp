#include "recorder/service/service_resources.h"

#include "platform/resources.h"
#include "recorder/service/raw_data_test_dlg.h"
#include "recorder/service/recorder_test_dlg.h"
#include "recorder/service/usb_test_dlg.h"
#include "recorder/service/zk131_test_dlg.h"
#include "win/dialog_template.h"
#include "win/prompt.h"

namespace {

using win::ControlKind;
using win::ControlTemplate;
using win::DialogTemplate;

constexpr uint32_t kLogStyle = win::kEsMultiline | win::kEsReadOnly;

// The program's own templates; the service dialogs are not translated.
constexpr ControlTemplate kCommandTester[] = {
    {-1, ControlKind::kGroupBox, "Init", 7, 4, 202, 30},
    {1412, ControlKind::kPushButton, "Reset", 13, 16, 62, 13},
    {1413, ControlKind::kPushButton, "Power Off", 77, 16, 62, 13},
    {1414, ControlKind::kPushButton, "Identification", 141, 16, 62, 13},
    {-1, ControlKind::kGroupBox, "Setup", 7, 38, 202, 30},
    {1415, ControlKind::kPushButton, "Enter Setup", 13, 50, 62, 13},
    {1416, ControlKind::kPushButton, "Exit Setup", 77, 50, 62, 13},
    {1417, ControlKind::kPushButton, "Format MMC", 141, 50, 62, 13},
    {-1, ControlKind::kGroupBox, "Online / Monitor", 7, 72, 202, 30},
    {1418, ControlKind::kPushButton, "Enter Monitor", 13, 84, 62, 13},
    {1419, ControlKind::kPushButton, "Exit Monitor", 77, 84, 62, 13},
    {1420, ControlKind::kPushButton, "Start Monitor", 141, 84, 62, 13},
    {-1, ControlKind::kGroupBox, "Record", 7, 106, 202, 30},
    {1421, ControlKind::kPushButton, "Start Record", 13, 118, 62, 13},
    {1422, ControlKind::kPushButton, "Pacemaker On", 77, 118, 62, 13},
    {1423, ControlKind::kPushButton, "Pacemaker Off", 141, 118, 62, 13},
    {-1, ControlKind::kGroupBox, "Transmit / Review", 7, 140, 202, 78},
    {1424, ControlKind::kPushButton, "Enter Review", 13, 152, 62, 13},
    {1425, ControlKind::kPushButton, "Exit Review", 77, 152, 62, 13},
    {1426, ControlKind::kPushButton, "Start Review", 141, 152, 62, 13},
    {1427, ControlKind::kPushButton, "PatientData", 13, 168, 62, 13},
    {1428, ControlKind::kPushButton, "Set PatDat 1,2,3", 77, 168, 62, 13},
    {1429, ControlKind::kPushButton, "Set RecDat", 141, 168, 62, 13},
    {1430, ControlKind::kPushButton, "Get PatDat 1,2,3", 13, 184, 62, 13},
    {1431, ControlKind::kPushButton, "Get RecDat", 77, 184, 62, 13},
    {1432, ControlKind::kPushButton, "Get ECGData", 141, 184, 62, 13},
    {1433, ControlKind::kPushButton, "Get Voice Data", 13, 200, 62, 13},
    {1434, ControlKind::kPushButton, "Get Voice Events", 77, 200, 62, 13},
    {-1, ControlKind::kGroupBox, "Test", 215, 4, 214, 46},
    {1435, ControlKind::kPushButton, "Enter Test", 221, 16, 66, 13},
    {1436, ControlKind::kPushButton, "Exit Test", 289, 16, 66, 13},
    {1437, ControlKind::kPushButton, "Test SRAM", 357, 16, 66, 13},
    {1438, ControlKind::kPushButton, "Test Flash", 221, 32, 66, 13},
    {1439, ControlKind::kPushButton, "SRAM Data", 289, 32, 66, 13},
    {1440, ControlKind::kPushButton, "Flash Data", 357, 32, 66, 13},
    {-1, ControlKind::kGroupBox, "Status", 215, 54, 214, 46},
    {1441, ControlKind::kPushButton, "Reset Status", 221, 66, 66, 13},
    {1442, ControlKind::kPushButton, "Battery Status", 289, 66, 66, 13},
    {1443, ControlKind::kPushButton, "MMC Status", 357, 66, 66, 13},
    {1444, ControlKind::kPushButton, "MMC Size", 221, 82, 66, 13},
    {1445, ControlKind::kPushButton, "Record Status", 289, 82, 66, 13},
    {1446, ControlKind::kPushButton, "MMC Hours", 357, 82, 66, 13},
    {-1, ControlKind::kGroupBox, "Unknown", 215, 104, 214, 110},
    {1447, ControlKind::kPushButton, "xyz", 221, 116, 100, 13},
    {1448, ControlKind::kPushButton, "Read RecordBlock REV", 323, 116, 100, 13},
    {1449, ControlKind::kPushButton, "Stop Send", 221, 132, 100, 13},
    {1450, ControlKind::kPushButton, "Read RecordBlock GetECGDat", 323, 132, 100, 13},
    {1451, ControlKind::kPushButton, "Get ECG Len", 221, 148, 100, 13},
    {1452, ControlKind::kPushButton, "Get Voice Len", 323, 148, 100, 13},
    {1453, ControlKind::kPushButton, "Get VoiceEv Len", 221, 164, 100, 13},
    {1454, ControlKind::kPushButton, "Set Rec Len", 323, 164, 100, 13},
    {1455, ControlKind::kPushButton, "Set FlexBlk", 221, 180, 100, 13},
    {1456, ControlKind::kPushButton, "Get FlexBlk", 323, 180, 100, 13},
    {1457, ControlKind::kPushButton, "Set FileVers", 221, 196, 100, 13},
    {1458, ControlKind::kPushButton, "Get FileVers", 323, 196, 100, 13},
    {TZK131TestDlg::kLogId, ControlKind::kEdit, "", 435, 8, 218, 210, kLogStyle},
    {TZK131TestDlg::kClearLogId, ControlKind::kPushButton, "&Clear Log", 7, 230, 60, 14},
    {TZK131TestDlg::kConfirmId, ControlKind::kCheckBox, "Confirm Commands", 77, 232, 90, 10},
    {win::kIdOk, ControlKind::kDefPushButton, "Close", 593, 230, 60, 14},
};

constexpr ControlTemplate kRecorderTest[] = {
    {TRecorderTestDlg::kGetPatientId, ControlKind::kPushButton, "&Get Patient data", 7, 8, 100, 14},
    {TRecorderTestDlg::kSetPatient1Id, ControlKind::kPushButton, "&Set Patient 1 + Start", 7, 26, 100, 14},
    {TRecorderTestDlg::kSetPatient2Id, ControlKind::kPushButton, "Set &Patient 2 + Start", 7, 44, 100, 14},
    {TRecorderTestDlg::kResetId, ControlKind::kPushButton, "&Reset", 7, 62, 100, 14},
    {TRecorderTestDlg::kLogId, ControlKind::kEdit, "", 115, 8, 278, 190, kLogStyle},
    {TRecorderTestDlg::kClearLogId, ControlKind::kPushButton, "&Clear Log", 7, 206, 60, 14},
    {TRecorderTestDlg::kConfirmId, ControlKind::kCheckBox, "Confirm Commands", 77, 208, 90, 10},
    {win::kIdOk, ControlKind::kDefPushButton, "Close", 333, 206, 60, 14},
};

constexpr ControlTemplate kUsbTest[] = {
    {TUSBTestDlg::kTest1Id, ControlKind::kPushButton, "Test 1", 7, 8, 60, 14},
    {TUSBTestDlg::kTest1Id + 1, ControlKind::kPushButton, "Test 2", 7, 26, 60, 14},
    {TUSBTestDlg::kTest1Id + 2, ControlKind::kPushButton, "Test 3", 7, 44, 60, 14},
    {TUSBTestDlg::kTest4Id, ControlKind::kPushButton, "Test 4", 7, 62, 60, 14},
    {TUSBTestDlg::kLogId, ControlKind::kEdit, "", 75, 8, 278, 180, kLogStyle},
    {TUSBTestDlg::kClearLogId, ControlKind::kPushButton, "&Clear Log", 7, 196, 60, 14},
    {TUSBTestDlg::kConfirmId, ControlKind::kCheckBox, "Confirm Commands", 77, 198, 90, 10},
    {win::kIdOk, ControlKind::kDefPushButton, "Close", 293, 196, 60, 14},
};

constexpr ControlTemplate kRawDataTest[] = {
    {-1, ControlKind::kStatic, "Length :", 7, 10, 80, 8},
    {TRawDataTestDlg::kLengthId, ControlKind::kEdit, "", 90, 8, 60, 12},
    {-1, ControlKind::kStatic, "512.. 62.265.856)", 155, 10, 70, 8},
    {TRawDataTestDlg::kWithErrorId, ControlKind::kCheckBox, "Mit Fehler ?", 7, 28, 100, 10},
    {-1, ControlKind::kStatic, "Fehler wo ? 0..16MB :", 7, 46, 80, 8},
    {TRawDataTestDlg::kErrorPositionId, ControlKind::kEdit, "", 90, 44, 60, 12},
    {win::kIdOk, ControlKind::kDefPushButton, "OK", 60, 68, 50, 14},
    {win::kIdCancel, ControlKind::kPushButton, "Cancel", 120, 68, 50, 14},
};

constexpr DialogTemplate kDialogs[] = {
    {TRecorderTestDlg::kTemplateId, "Recorder Test", 400, 227, kRecorderTest},
    {TZK131TestDlg::kTemplateId, "ZK-131 Test", 660, 251, kCommandTester},
    {TUSBTestDlg::kTemplateId, "USB Test", 360, 217, kUsbTest},
    {TRawDataTestDlg::kTemplateId, "Raw Data Test", 232, 90, kRawDataTest},
};

}  // namespace

void AddRecorderServiceResources(platform::ResourcePack& pack) {
  if (!win::IsExePack(pack)) return;
  win::Templates().Add(pack, kDialogs);
}
