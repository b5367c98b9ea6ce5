#include "modes/monitor_inf.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace zarn::modes {
namespace {

constexpr std::array<std::uint8_t, 8> kHeader = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr std::size_t kBlock = 128;
// A device's description holds up to 255 characters.
constexpr std::size_t kMaxNameLength = 200;

// A text for the [Strings] section: printable ASCII but "%" (which INF
// readers differ on), quotes doubled, at most kMaxNameLength long.
std::string InfString(std::string_view text) {
  std::string result;
  std::size_t length = 0;
  for (const char c : text) {
    if (length == kMaxNameLength) break;
    const auto byte = static_cast<unsigned char>(c);
    if ((byte & 0xC0) == 0x80) continue;  // the rest of a UTF-8 character already shown as "?"
    ++length;
    if (byte < 0x20 || byte > 0x7E || c == '%') {
      result += '?';
      continue;
    }
    if (c == '"') result += c;
    result += c;
  }
  return result;
}

}  // namespace

Expected<std::string> MonitorPnpId(std::span<const std::uint8_t> edid) {
  if (edid.size() < kHeader.size() || !std::equal(kHeader.begin(), kHeader.end(), edid.begin())) {
    return Expected<std::string>::Failure("The bytes do not start with an EDID header (00 FF FF FF FF FF FF 00).");
  }
  if (edid.size() < kBlock || edid.size() % kBlock != 0) {
    return Expected<std::string>::Failure("The EDID is " + std::to_string(edid.size()) +
                                          " bytes long; an override holds whole 128-byte blocks.");
  }
  // Three letters of five bits each, 1 for A, packed big-endian into bytes 8 and 9.
  const unsigned packed = static_cast<unsigned>(edid[8]) << 8 | edid[9];
  std::string id;
  for (const int shift : {10, 5, 0}) {
    const unsigned letter = packed >> shift & 0x1F;
    if (letter < 1 || letter > 26) {
      return Expected<std::string>::Failure("The EDID's manufacturer ID (bytes 8 and 9) does not spell three letters.");
    }
    id += static_cast<char>('A' + letter - 1);
  }
  char product[5];
  std::snprintf(product, sizeof product, "%04X", static_cast<unsigned>(edid[11]) << 8 | edid[10]);
  return id + product;
}

Expected<std::string> MonitorInf(std::span<const std::uint8_t> edid, std::string_view display_name) {
  const auto today = std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now());
  return MonitorInf(edid, display_name, std::chrono::year_month_day(today));
}

Expected<std::string> MonitorInf(std::span<const std::uint8_t> edid, std::string_view display_name,
                                 std::chrono::year_month_day date) {
  const Expected<std::string> id = MonitorPnpId(edid);
  if (!id) return id;
  std::string name = InfString(display_name);
  if (name.empty()) name = *id + " with an EDID override";
  char version[64];
  std::snprintf(version, sizeof version, "DriverVer=%02u/%02u/%04d,1.0.0.0", static_cast<unsigned>(date.month()),
                static_cast<unsigned>(date.day()), static_cast<int>(date.year()));

  std::string inf;
  const auto line = [&inf](const std::string& text) { inf += text + "\r\n"; };
  line("; Makes Windows read the EDID below in place of the one a monitor " + *id + " sends.");
  line("; Install it as the monitor's driver: Device Manager, the monitor, Update driver,");
  line("; Browse my computer, Let me pick, Have Disk. Written by Zarn.");
  line("");
  line("[Version]");
  line("Signature=\"$Windows NT$\"");
  line("Class=Monitor");
  line("ClassGUID={4d36e96e-e325-11ce-bfc1-08002be10318}");
  line("Provider=%Provider%");
  line(version);
  line("PnpLockdown=1");
  line("");
  line("[Manufacturer]");
  line("%Manufacturer%=Zarn,NTx86,NTamd64,NTarm64");
  for (const char* platform : {"NTx86", "NTamd64", "NTarm64"}) {
    line("");
    line("[Zarn." + std::string(platform) + "]");
    line("%Model%=Zarn.Install,Monitor\\" + *id);
  }
  line("");
  // The driver's own key gets nothing; the monitor's hardware key (its
  // Device Parameters) gets the override.
  line("[Zarn.Install]");
  line("");
  line("[Zarn.Install.HW]");
  line("DelReg=Zarn.DelReg");
  line("AddReg=Zarn.AddReg");
  line("");
  // The monitor keeps Windows' own monitor driver.
  line("[Zarn.Install.Services]");
  line("AddService=monitor,0x00000002,Zarn.Service");
  line("");
  line("[Zarn.Service]");
  line("ServiceType=1");
  line("StartType=3");
  line("ErrorControl=1");
  line("ServiceBinary=%12%\\monitor.sys");
  line("");
  line("[Zarn.DelReg]");
  line("HKR,EDID_OVERRIDE");
  line("");
  // One binary value (flag 0x01) per block.
  line("[Zarn.AddReg]");
  for (std::size_t block = 0; block < edid.size() / kBlock; ++block) {
    std::string text = "HKR,EDID_OVERRIDE,\"" + std::to_string(block) + "\",0x01";
    for (std::size_t i = 0; i < kBlock; ++i) {
      char hex[6];
      std::snprintf(hex, sizeof hex, ",0x%02X", edid[block * kBlock + i]);
      text += hex;
    }
    line(text);
  }
  line("");
  line("[Strings]");
  line("Provider=\"Zarn\"");
  line("Manufacturer=\"" + id->substr(0, 3) + "\"");
  line("Model=\"" + name + "\"");
  return inf;
}

}  // namespace zarn::modes
