#include "cli/help_texts.h"

#include <algorithm>
#include <vector>

#include "app/app_info.h"
#include "modes/export_formats.h"
#include "modes/timing_text.h"

namespace zarn::cli {
namespace {

// The program's help around the table of formats.
constexpr std::string_view kProgramIntro = R"(
Standard video timings, exact to the hertz.

Commands:
  dmt ID | dmt --list            VESA Display Monitor Timings (IDs 0x01 to 0x58)
  vic N | vic --list             CTA-861 video formats (VICs 1-127 and 193-219)
  hdmi-vic N | hdmi-vic --list   HDMI video formats (HDMI VICs 1-4)
  cvt WIDTH HEIGHT RATE          VESA Coordinated Video Timings, reduced blanking v1-v3
  gtf WIDTH HEIGHT RATE          VESA Generalized Timing Formula (or --line-rate, --pixel-clock)
  custom                         a timing typed in figure by figure
  ovt WIDTH HEIGHT RATE          CTA-861 Optimized Video Timing, at a whole rate
  rid N RATE | rid --list        CTA-861 RIDs (Resolution Identification), by OVT
  kernel OPTION                  the mode the Linux kernel computes for a video= option
  monitors                       the monitors attached, with their EDIDs
  edid show FILE                 an EDID decoded, and every timing it offers
  - | --batch FILE               many commands, one a line, each answered with one line
  edid install FILE              an EDID override for a monitor (Linux and Windows)

Formats (--format):
)";

constexpr std::string_view kProgramEnd = R"(  --name TEXT     the EDID's display name, 13 characters at most
  -o FILE         write to FILE instead of standard output
  --links         the data rate at each colour depth and the links that carry it
  --round-clock   EDID formats: move the clock to the nearest 10 kHz step a
                  descriptor holds (the new refresh rate is said)

Numbers take a dot or a comma as the decimal separator ("59,94" is 59.94);
there is no grouping. Output always uses a dot.

Exit status: 0 done, 1 the mode does not exist or cannot be produced,
2 the command line is malformed.

zarn-timing COMMAND --help tells more of each command.
)";

constexpr std::string_view kDmt = R"(Usage: zarn-timing dmt ID [--format FORMAT]
       zarn-timing dmt --list [--format FORMAT]

A mode of the VESA Display Monitor Timing standard by its ID, in hexadecimal
with 0x (0x24) or in decimal (36). --list shows every mode.
)";

constexpr std::string_view kVic = R"(Usage: zarn-timing vic N [--format FORMAT]
       zarn-timing vic --list [--format FORMAT]

A CTA-861 video format by its Video Identification Code: 1 to 127 and 193 to
219. Interlaced formats show their vertical figures per field.
)";

constexpr std::string_view kHdmiVic = R"(Usage: zarn-timing hdmi-vic N [--format FORMAT]
       zarn-timing hdmi-vic --list [--format FORMAT]

One of the four HDMI video formats of the HDMI vendor-specific data block:
3840x2160 at 30, 25 and 24 Hz, and 4096x2160 at 24 Hz.
)";

constexpr std::string_view kCvt = R"(Usage: zarn-timing cvt WIDTH HEIGHT RATE [OPTIONS] [--format FORMAT]

The VESA Coordinated Video Timing for a size in pixels and lines and a rate in
Hz (frames per second; fields per second when interlaced).

Options:
  --rb 0|1|2|3        reduced blanking version; 0 (the default) is normal blanking
  --interlaced        an interlaced timing (normal blanking)
  --margins           1.8 % margins on every side
  --video-optimized   with --rb 2: the rate times 1000/1001 (59.94 for 60)
  --hblank N          with --rb 3: N pixels of horizontal blanking, 80 to 200 (160 is common)
  --vblank-us N       with --rb 3: vertical blanking of N microseconds, 460 to 705
  --early-vsync       with --rb 3: vertical sync at the start of the blanking
)";

constexpr std::string_view kGtf = R"(Usage: zarn-timing gtf WIDTH HEIGHT RATE [OPTIONS] [--format FORMAT]
       zarn-timing gtf WIDTH HEIGHT --line-rate KHZ [OPTIONS]
       zarn-timing gtf WIDTH HEIGHT --pixel-clock MHZ [OPTIONS]

The VESA Generalized Timing Formula from the refresh rate in Hz (fields per
second when interlaced), the line rate in kHz or the pixel clock in MHz.

Options:
  --interlaced        an interlaced timing
  --margins           1.8 % margins on every side
  --secondary C M K J the secondary curve with these parameters (the default
                      curve is C=40, M=600, K=128, J=20)
)";

constexpr std::string_view kCustom = R"(Usage: zarn-timing custom --pixel-clock MHZ --horizontal ACTIVE,FRONT,SYNC,BACK
                          --vertical ACTIVE,FRONT,SYNC,BACK [--hsync +|-] [--vsync +|-]
                          [--interlaced] [--format FORMAT]

A timing typed in: the pixel clock in MHz (to the hertz: six decimals at most),
and the active, front porch, sync and back porch in pixels and in lines.
Polarities are + unless given. With --interlaced the vertical figures are
those of one field.
)";

constexpr std::string_view kKernel =
    R"txt(Usage: zarn-timing kernel OPTION [--edid FILE | --monitor NAME] [--format FORMAT]

The mode the Linux kernel (6.1) computes itself for a video= option such as
1920x1080M@60 (WIDTHxHEIGHT[M][R][@RATE][i][m], optionally after video= and a
connector name): with M its own integer CVT (R for reduced blanking), without
M its GTF; i for interlaced, m for margins; 60 Hz when no rate is given. The
kernel uses this mode only when the monitor offers none of that size and rate.
Its figures often differ from the standards' (man zarn-timing tells how).

With the monitor's EDID (--edid FILE, - for standard input, or --monitor
NAME for one attached), the mode the kernel picks from the monitor's own
list when one matches, and its own otherwise.
)txt";

constexpr std::string_view kOvt = R"txt(Usage: zarn-timing ovt WIDTH HEIGHT RATE [--format FORMAT]

The CTA-861 Optimized Video Timing (OVT) for a size and a whole refresh rate
(1 to 2173 Hz): the least blanking that fits, both syncs positive, a clock
on whole kilohertz. Rates of one family (24/25/30, 48/50/60, 100/120, 200/240,
300/360, 400/480 Hz) share the clock of the highest.
)txt";

constexpr std::string_view kRid = R"txt(Usage: zarn-timing rid N RATE [--format FORMAT]
       zarn-timing rid --list [--format FORMAT]

A CTA-861 Resolution Identification (RID 1 to 28: a picture size and shape
that a Video Format Data Block names with a frame rate) at one of the rates
it comes at, as OVT makes it. --list shows every RID at every rate.
)txt";

constexpr std::string_view kMonitors = R"txt(Usage: zarn-timing monitors [--format readable|json]

The monitors attached, each with the connector it is on (Linux: as
/sys/class/drm names it, such as DP-1; Windows: the monitor's model and
instance), its vendor and product code, name, size and preferred timing.
With --format json, one object a line: the connector and the decoded EDID.
)txt";

constexpr std::string_view kEdid =
    R"txt(Usage: zarn-timing edid show (FILE... | - | --monitor NAME) [--format readable|json]
       zarn-timing edid show (FILE | - | --monitor NAME) --timing N [--format FORMAT]
       zarn-timing edid edit (FILE | - | --monitor NAME) -o OUT EDIT...
       zarn-timing edid install FILE --connector NAME [--root DIR] [--dry-run] [--yes]
       zarn-timing edid uninstall --connector NAME [--root DIR] [--dry-run] [--yes]
       zarn-timing edid install FILE --inf FILE.inf
       zarn-timing edid (install FILE | uninstall) --registry --monitor NAME [--dry-run] [--yes]

Decodes an EDID: EDID 1.3 and 1.4 base blocks, CTA-861 and DisplayID
extensions, and every timing the monitor offers, each with where it comes
from ("DTD 1", "Standard: DMT 0x52", "VIC 16 (native)") and which is
preferred. FILE is the binary EDID, or hex text as edid-decode, xrandr
--verbose or the kernel print it; - reads standard input; --monitor NAME
reads an attached monitor's (see zarn-timing monitors).

With several files, one report each (one JSON object a line with --format
json). A wrong checksum, a missing extension or an unknown block is a warning
in the report; an input with no EDID base block exits 1.

--timing N takes the EDID's N-th timing, in the order listed, and shows it
in any format, as the other commands do.

edid edit writes the EDID with the edits made to the file OUT (binary) and
prints what changed, one sentence a change. Every byte an edit does not need
stays as it was, and the checksums of the blocks it changes are written. An
edit that cannot be made is refused with the reason (exit 1).

  --add 'REQUEST'        add a timing: any request the commands take, such as
                         'cvt 2560 1440 144 --rb 2' or 'dmt 0x52' (repeatable)
  --prefer 'REQUEST'     make a timing the preferred one (DTD 1); also a timing
                         of the EDID by its number or origin, such as 'DTD 3'
  --remove WHICH         remove a timing by its number or origin as edid show
                         lists them, such as 5 or 'DTD 3' (repeatable)
  --range V:MIN-MAX,H:MIN-MAX,CLOCK:MHZ
                         the display range limits: vertical rates in Hz,
                         horizontal in kHz, the maximum pixel clock; any of them
  --max-clock MHZ        the maximum pixel clock of the range limits
  --vrr MIN-MAX          the variable refresh range: the range limits' vertical
                         rates, marked "range limits only" (EDID 1.4), as the
                         Linux kernel and its AMD driver read them; an AMD
                         FreeSync range follows
  --name NAME            the display name
  --round-clock          move the clock of --add and --prefer to the nearest
                         10 kHz step, so that a detailed timing descriptor holds it
  --mend-checksums       write every checksum that is wrong

The edits are made in this order: the checksums, the removals (numbered as
edid show numbers the EDID given), the additions, the preferred timing, the
range limits, the name. A timing goes into a detailed timing descriptor (in
the base block where a descriptor is free, else in a CTA-861 block) when its
clock is a whole number of 10 kHz steps up to 655.35 MHz and its figures fit;
any other timing goes into a DisplayID block, type VII (1 kHz steps, any
clock). New blocks are added as needed, and range limits that do not cover a
timing added are widened.

install makes the monitor on a connector use FILE in place of its own EDID.
On Linux (--connector DP-1, as /sys/class/drm names it): keeps the
monitor's own EDID once in /var/lib/zarn/edid, puts FILE in
/usr/lib/firmware/edid as zarn-DP-1.bin, adds an initramfs-tools hook that
copies it into the initial RAM disk and runs update-initramfs; then says the
kernel parameter to add (drm.edid_firmware=DP-1:edid/zarn-DP-1.bin), how to
try it before a restart, and how to start without it should the screen stay
dark. uninstall takes all of it away but the copy of the monitor's own EDID.
Each change is asked about first unless --yes; --dry-run only says them;
--root DIR works on the system under DIR (its commands are said, not run).

On Windows: --inf FILE.inf writes a monitor driver that sets the override
(Device Manager, the monitor, Update driver, Have Disk); --registry --monitor
NAME writes EDID_OVERRIDE in the registry itself (as administrator), and
uninstall --registry removes it. Windows uses it from the next restart on.
)txt";

}  // namespace

std::string ProgramHelp() {
  std::string listed;
  std::string outputs;
  std::size_t width = 0;
  for (const modes::ExportFormat& format : modes::ExportFormats()) width = std::max(width, format.name.size());
  std::string formats;
  std::vector<std::string> naming;
  std::string fitting;
  for (const modes::ExportFormat& format : modes::ExportFormats()) {
    formats += "  " + modes::PadRight(std::string(format.name), width + 3) + std::string(format.summary) + "\n";
    if (format.list != nullptr) listed += (listed.empty() ? "" : "|") + std::string(format.name);
    if (format.needs_output) naming.emplace_back(format.name);
    if (format.reads_monitor_edid) fitting += (fitting.empty() ? "" : ", ") + std::string(format.name);
  }
  for (std::size_t i = 0; i < naming.size(); ++i) {
    outputs += (i == 0 ? "" : i + 1 == naming.size() ? " and " : ", ") + naming[i];
  }
  return "Usage: zarn-timing COMMAND [ARGUMENTS] [--format " + listed + "]\n" + std::string(kProgramIntro) + formats +
         "\nOptions of every command:\n  --output NAME   the output (connector) for " + outputs + "\n" +
         "  --edid FILE     " + fitting + ": the monitor's EDID (- for standard input), for its ranges\n" +
         "  --monitor NAME  " + fitting + ": the EDID of a monitor attached, the same way\n" + std::string(kProgramEnd);
}

std::string_view CommandHelp(std::string_view command) {
  if (command == "dmt") return kDmt;
  if (command == "vic") return kVic;
  if (command == "hdmi-vic") return kHdmiVic;
  if (command == "cvt") return kCvt;
  if (command == "gtf") return kGtf;
  if (command == "custom") return kCustom;
  if (command == "kernel") return kKernel;
  if (command == "monitors") return kMonitors;
  if (command == "ovt") return kOvt;
  if (command == "rid") return kRid;
  if (command == "edid") return kEdid;
  return {};
}

std::string VersionLine() { return std::string("zarn-timing ") + app::kVersionText + "\n"; }

}  // namespace zarn::cli
