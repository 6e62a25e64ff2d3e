// The download bar's arithmetic and texts: percent, transfer rate and estimated time left, worked
// out from the bytes received and the clock, at most once a second.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace tw {

// The texts of the download status, as the program's string table holds them (ids 104 to 114).
namespace download_text {
constexpr char kKbPerSec[] = "%1 KB/Sec";         // 104
constexpr char kBytes[] = "%1 Bytes";             // 105
constexpr char kMb[] = "%1 MB";                   // 107
constexpr char kOf[] = "%1 of %2";                // 108
constexpr char kKb[] = "%1 KB";                   // 109
constexpr char kSec[] = "%1 sec";                 // 110
constexpr char kMin[] = "%1 min";                 // 111
constexpr char kMinSec[] = "%1 min %2 sec";       // 112
constexpr char kCopied[] = "%1 (%2 copied)";      // 113
constexpr char kBytesPerSec[] = "%1 Bytes/Sec";   // 114
}  // namespace download_text

// "512 Bytes", "1.5 KB" (from 1024 bytes), "2.50 MB" (above 1048575 bytes).
std::string SizeText(uint64_t bytes);
// "45 sec", "2 min", "2 min 5 sec".
std::string TimeText(uint64_t seconds);
// "512 Bytes/Sec" below 1 KB/s, "2.35 KB/Sec" below 10, "25 KB/Sec" from 10 on.
std::string RateText(double kbPerSec);

// What the progress page shows of a running download.
struct DownloadStatus {
  int percent = 0;       // of the reported length; 0 when none was reported
  std::string timeLeft;  // "2 min 5 sec (1.5 KB of 2.50 MB copied)"
  std::string rate;      // "25 KB/Sec"
};

class DownloadMeter {
 public:
  // A transfer of total bytes (0: the server did not say) begins at tick now (milliseconds).
  void Start(uint64_t total, uint32_t now);
  // Called after every read with all bytes received so far: the status to show when more than a
  // second has passed since the last one, else nothing (a fast transfer must not flood the page).
  std::optional<DownloadStatus> Update(uint64_t received, uint32_t now);

 private:
  uint64_t total_ = 0;
  uint32_t startTick_ = 0;
  uint32_t lastTick_ = 0;
  uint64_t lastBytes_ = 0;
  std::string timeLeft_;
};

}  // namespace tw
