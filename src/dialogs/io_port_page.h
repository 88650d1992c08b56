#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "win/property_sheet.h"

class CZK470Doc;
namespace platform {
class ResourcePack;
}

// The recorder interface page of the options sheet: USB converter or interface card, the card's
// I/O base address, and whether the patient data are to be completed after a read-out. Its test
// button runs the device search with the page's choices and reports the recorder found. The page
// holds the values while the sheet is open; the owner stores them on OK (StoreIOPortPage).
// User-interface thread only.
class TIOPortPage : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 188;
  static constexpr int kUsbId = 1350;
  static constexpr int kCardId = 1351;
  static constexpr int kFirstAddressId = 1157;  // 1157..1160: 0x300, 0x308, 0x310, 0x318
  static constexpr int kAddressCount = 4;
  static constexpr int kAskPatientDataId = 1408;
  static constexpr int kTestId = 1255;
  static constexpr int kFoundString = 33249;
  static constexpr int kNotFoundString = 33250;
  static constexpr uint32_t kFirstBaseAddress = 0x300;

  // The device search the test runs: (document, interface, base address) -> recorder kind.
  using Search = std::function<int(CZK470Doc&, int, int)>;

  explicit TIOPortPage(CZK470Doc& doc);

  int interface_choice = 1;  // 0 USB converter, 1 interface card
  int address_index = 0;     // -1 when the stored address is none of the four
  int ask_patient_data = 0;

  // The base address to test and store: that of the chosen radio; with none chosen, 0x300.
  uint32_t BaseAddress() const;
  // Tests put a scripted search in place of recorder::FindRecorders.
  void SetSearch(Search search) { search_ = std::move(search); }
  // Button 1255.
  void OnTest();

 protected:
  bool OnInitDialog() override;
  void DoDataExchange(win::DataExchange& dx) override;

 private:
  void EnableAddresses(bool on);

  CZK470Doc& doc_;
  Search search_;
};

// The message of the interface test for a search result: the recorder found, with version, serial
// and the 72-hour capability for a ZK-131; the failure text otherwise.
std::string InterfaceTestMessage(int result, const std::string& version, const std::string& serial,
                                 bool has_72_hours);

// What the options sheet stores on OK: "Mode", "BaseAdr" and "DoAskPatData" of "I/O-Port". A page
// that shows none of the four addresses leaves "BaseAdr" as it was.
void StoreIOPortPage(const TIOPortPage& page, CZK470Doc& doc);

// The ZK-130 page (template 30736): one check box for the "ZK-130" "Auto Delete" setting. It can
// be made, but nothing shows it.
class TZK130Settings : public win::PropertyPage {
 public:
  static constexpr int kTemplateId = 30736;
  static constexpr int kAutoDeleteId = 1239;

  TZK130Settings();
  explicit TZK130Settings(const CZK470Doc& doc);

  int auto_delete = 0;

 protected:
  void DoDataExchange(win::DataExchange& dx) override;
};

// Templates and texts of both pages: German to the German pack, English to every other one.
void AddIOPortPageResources(platform::ResourcePack& pack);
