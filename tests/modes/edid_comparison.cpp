#include "edid_comparison.h"

#include <fstream>
#include <sstream>

namespace zarn::modes::testing {
namespace {

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(' ');
  const std::size_t last = text.find_last_not_of(' ');
  return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

bool Known(const std::vector<KnownDifference>& known, const std::string& file, const std::string& origin,
           const std::string& what) {
  for (const KnownDifference& k : known) {
    if ((k.file == "*" || k.file == file) && k.origin == origin && k.what == what) return true;
  }
  return false;
}

std::string Figures(const ReferenceTiming& t) {
  std::ostringstream out;
  out << t.pixel_clock_hz << " Hz " << t.h_active << " " << t.h_front_porch << " " << t.h_sync << " " << t.h_back_porch
      << (t.h_sync_positive ? " +" : " -") << " / " << t.v_active << " " << t.v_front_porch << " " << t.v_sync << " "
      << t.v_back_porch << (t.v_sync_positive ? " +" : " -") << (t.interlaced ? " interlaced" : "")
      << (t.v_half_line ? " +0.5" : "");
  return out.str();
}

ReferenceTiming Ours(const DisplayTiming& d) {
  return {d.h_active,        d.h_front_porch, d.h_sync,       d.h_back_porch,   d.v_active,
          d.v_front_porch,   d.v_sync,        d.v_back_porch, d.pixel_clock_hz, d.h_sync_positive,
          d.v_sync_positive, d.interlaced,    d.v_half_line};
}

}  // namespace

std::vector<KnownDifference> ReadKnownDifferences(const std::string& path) {
  std::vector<KnownDifference> known;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream parts(line);
    for (std::string field; std::getline(parts, field, '|');) fields.push_back(Trim(field));
    if (fields.size() >= 4) known.push_back({fields[0], fields[1], fields[2]});
  }
  return known;
}

std::string EdidDecodeLabel(const std::string& origin) {
  std::string label = origin;
  if (const std::size_t colon = label.find(": "); colon != std::string::npos) label = label.substr(colon + 2);
  if (const std::size_t native = label.find(" (native)"); native != std::string::npos) label.erase(native);
  for (const char* prefix : {"CTA ", "YCbCr 4:2:0 ", "DisplayID "}) {
    if (label.starts_with(prefix)) label = label.substr(std::string(prefix).size());
  }
  for (const char* formula : {"IBM", "Apple", "GTF", "CVT"}) {
    if (label.starts_with(formula)) return formula;
  }
  if (label.starts_with("Type I ") || label.starts_with("Type VII ")) return "DTD";
  return label;
}

std::vector<std::string> CompareWithEdidDecode(const std::string& file, const DecodedEdid& ours,
                                               const EdidDecodeListing& reference,
                                               const std::vector<KnownDifference>& known, int& compared) {
  std::vector<std::string> problems;
  const auto problem = [&](const std::string& text) { problems.push_back(file + ": " + text); };
  if (ours.manufacturer != reference.manufacturer)
    problem("manufacturer " + ours.manufacturer + " vs " + reference.manufacturer);
  if (ours.product_code != reference.product_code) problem("product code " + std::to_string(ours.product_code));
  if (ours.serial_number != reference.serial_number) problem("serial number " + std::to_string(ours.serial_number));
  if (ours.year != reference.year || ours.model_year != reference.model_year)
    problem("year " + std::to_string(ours.year));
  if (!ours.model_year && ours.week != reference.week) problem("week " + std::to_string(ours.week));
  if (ours.name != reference.name)
    problem("name '" + ours.name.value_or("(none)") + "' vs '" + reference.name.value_or("(none)") + "'");

  // Rules of the known differences: detailed timings below 10 MHz that only the reader lists, and
  // formula timings with a negative porch that only edid-decode lists.
  const bool slow_dtds_extra = Known(known, file, "DTD below 10 MHz", "extra");
  std::vector<const EdidTiming*> mine;
  for (const EdidTiming& t : ours.timings) {
    const bool slow_dtd = t.kind == EdidTimingKind::DetailedTiming && t.timing.pixel_clock_hz < 10'000'000;
    if (!Known(known, file, t.origin, "extra") && !(slow_dtd && slow_dtds_extra)) mine.push_back(&t);
  }
  // edid-decode lists the VICs of a YCbCr 4:2:0 capability map once more; the reader marks them on the map.
  std::vector<const ListedTiming*> theirs;
  for (const ListedTiming& t : reference.timings) {
    const ReferenceTiming& f = t.timing;
    const bool negative = f.h_front_porch < 0 || f.h_back_porch < 0 || f.v_front_porch < 0 || f.v_back_porch < 0;
    if (negative && Known(known, file, t.label + " with a negative porch", "missing")) continue;
    if (t.section.find("Capability Map") == std::string::npos) theirs.push_back(&t);
  }
  if (mine.size() != theirs.size()) {
    problem(std::to_string(mine.size()) + " timings vs edid-decode's " + std::to_string(theirs.size()));
  }
  for (std::size_t i = 0; i < mine.size() && i < theirs.size(); ++i) {
    ++compared;
    const EdidTiming& t = *mine[i];
    const ListedTiming& r = *theirs[i];
    if (EdidDecodeLabel(t.origin) != r.label) {
      problem("timing " + std::to_string(i + 1) + " is " + t.origin + ", edid-decode's " + r.label);
      continue;
    }
    if (Known(known, file, t.origin, "figures")) continue;
    ReferenceTiming mine_figures = Ours(t.timing);
    if (!r.v_polarity_given) mine_figures.v_sync_positive = r.timing.v_sync_positive;
    if (Figures(mine_figures) != Figures(r.timing)) {
      problem(t.origin + ": " + Figures(mine_figures) + " vs edid-decode's " + Figures(r.timing));
    }
  }
  return problems;
}

}  // namespace zarn::modes::testing
