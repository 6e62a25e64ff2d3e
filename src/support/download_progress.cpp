// Download progress texts and the once-a-second status of a running transfer.
#include "support/download_progress.h"

#include <cmath>

namespace tw {
namespace {

constexpr uint64_t kKilobyte = 1024;
constexpr uint64_t kMegabyte = 1024 * 1024;
constexpr uint32_t kUpdateEveryMs = 1000;

// The pattern with "%1" and "%2" replaced by the values.
std::string Fill(const char* pattern, const std::string& first, const std::string& second = "") {
  std::string text;
  for (const char* at = pattern; *at; ++at) {
    if (at[0] == '%' && (at[1] == '1' || at[1] == '2')) {
      text += at[1] == '1' ? first : second;
      ++at;
    } else {
      text += *at;
    }
  }
  return text;
}

// A non-negative value with a fixed number of decimals. Halves round up on the value as a person
// reads it (2.345 gives 2.35), whatever the C library would make of its binary approximation.
std::string Decimal(double value, int places) {
  uint64_t scale = 1;
  for (int i = 0; i < places; ++i) scale *= 10;
  if (!(value > 0)) value = 0;
  const uint64_t scaled = static_cast<uint64_t>(std::floor(value * static_cast<double>(scale) + 0.5 + 1e-6));
  std::string text = std::to_string(scaled / scale);
  if (places == 0) return text;
  std::string fraction = std::to_string(scaled % scale);
  return text + "." + std::string(static_cast<size_t>(places) - fraction.size(), '0') + fraction;
}

}  // namespace

std::string SizeText(uint64_t bytes) {
  if (bytes < kKilobyte) return Fill(download_text::kBytes, std::to_string(bytes));
  if (bytes < kMegabyte) return Fill(download_text::kKb, Decimal(static_cast<double>(bytes) / kKilobyte, 1));
  return Fill(download_text::kMb, Decimal(static_cast<double>(bytes) / kMegabyte, 2));
}

std::string TimeText(uint64_t seconds) {
  if (seconds < 60) return Fill(download_text::kSec, std::to_string(seconds));
  if (seconds % 60 == 0) return Fill(download_text::kMin, std::to_string(seconds / 60));
  return Fill(download_text::kMinSec, std::to_string(seconds / 60), std::to_string(seconds % 60));
}

std::string RateText(double kbPerSec) {
  if (kbPerSec < 1) return Fill(download_text::kBytesPerSec, Decimal(kbPerSec * 1024, 0));
  return Fill(download_text::kKbPerSec, Decimal(kbPerSec, kbPerSec < 10 ? 2 : 0));
}

void DownloadMeter::Start(uint64_t total, uint32_t now) {
  total_ = total;
  startTick_ = lastTick_ = now;
  lastBytes_ = 0;
  timeLeft_.clear();
}

std::optional<DownloadStatus> DownloadMeter::Update(uint64_t received, uint32_t now) {
  // Tick arithmetic is unsigned so that the counter's wrap-around does not matter.
  const uint32_t sinceUpdate = now - lastTick_;
  if (sinceUpdate <= kUpdateEveryMs) return std::nullopt;

  DownloadStatus status;
  // A server that sends more than it announced must not push the bar past its end.
  if (total_ > 0) status.percent = received >= total_ ? 100 : static_cast<int>(received * 100 / total_);
  // Bytes per millisecond, which is what the texts call KB/s.
  status.rate = RateText(static_cast<double>(received - lastBytes_) / sinceUpdate);
  lastTick_ = now;
  lastBytes_ = received;
  if (received > 0) {
    const double msPerByte = static_cast<double>(now - startTick_) / static_cast<double>(received);
    const double bytesLeft = total_ > received ? static_cast<double>(total_ - received) : 0.0;
    const uint64_t secondsLeft = static_cast<uint64_t>(msPerByte * bytesLeft * 0.001);
    timeLeft_ = Fill(download_text::kCopied, TimeText(secondsLeft),
                     Fill(download_text::kOf, SizeText(received), SizeText(total_)));
  }
  status.timeLeft = timeLeft_;
  return status;
}

}  // namespace tw
