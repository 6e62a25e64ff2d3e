// CSkinPage: one wizard page, built entirely from its layout file. It applies the window settings,
// owns the controls, places itself, dispatches clicks, and handles cancel, Enter and Esc.
#pragma once
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/page_ui.h"
#include "skin/layout_file.h"
#include "skin/page_host.h"
#include "skin/skin_control.h"

namespace tw {

constexpr int kInstallTimer = 1;
constexpr int kInstallTimerMs = 300;
constexpr int kVirtualKeyEnter = 13;
constexpr int kVirtualKeyEscape = 27;

class CSkinPage : public PageEvents {
 public:
  explicit CSkinPage(PageHost& host);
  ~CSkinPage() override;
  CSkinPage(const CSkinPage&) = delete;
  CSkinPage& operator=(const CSkinPage&) = delete;

  // Reads folder + file and builds the page: settings, controls, placement, standard behaviour.
  void LoadLayout(const std::string& folder, const std::string& file, int position, int count);
  void Show() { window_->Show(); }
  // Ends the page's window (navigation, the install timer, the close box).
  void End() { window_->End(); }

  // The id of the first control with exactly this name, or -1.
  int FindControlByName(const std::string& name) const;
  // The kind index of the control with this id, or -1.
  int FindKindIndex(int controlId) const;
  SkinControl* ControlById(int controlId);
  SkinControl* ControlByName(const std::string& name);
  // The kind's controls by kind index ("CHECKBOX", 0) — null when there is none.
  SkinControl* ControlOfKind(const std::string& kind, int kindIndex);

  // The cancel procedure: confirmation, then stop copying, disable "IDCANCEL", remove the work
  // folder, mark the setup cancelled, move the wizard on and end this page. True when confirmed.
  bool Cancel();
  // Every way of closing the page: the cancel procedure, or the finish on a page that has nothing
  // left to cancel.
  void Close();

  // The progress page's reports. The install bar is chosen by the progress page's set-up.
  void SelectInstallProgress(int kindIndex) { installProgressKind_ = kindIndex; }
  void SetProgressRange(int maximum);
  void SetProgressPos(int position);
  // which 0: "IDC_INFO"; any other: "IDC_INSTALLINFO".
  void SetStatusText(const std::string& text, int which);
  void StartInstallTimer() { window_->SetTimer(kInstallTimer, kInstallTimerMs); }

  // --- what the controls and the standard pages read ---
  PageHost& Host() { return host_; }
  PageWindow& Window() { return *window_; }
  const std::string& LayoutFolder() const { return layoutFolder_; }
  const std::string& LayoutFile() const { return layoutFile_; }
  int PagePosition() const { return pagePosition_; }
  int PageCount() const { return pageCount_; }
  const WindowSettings& Settings() const { return settings_; }
  const std::deque<ControlRecord>& Records() const { return records_; }
  const FontSpec& PageFont() const { return pageFont_; }
  ColorRef FaceColor() const;
  ColorRef BackColor() const { return backColor_; }
  bool HasBackPicture() const { return backPictureSize_.has_value(); }
  std::string ExpandPlaceholders(const std::string& text) const { return host_.ExpandPlaceholders(text); }
  // The natural size of a picture file in screen pixels; nothing when it is missing or undecodable.
  std::optional<Size> PictureSize(const std::string& path) const;
  // The engine's plain message box ("File not found: (...)").
  void ShowMessage(const std::string& text);

  // --- PageEvents ---
  void OnCommand(int controlId, int code) override;
  bool OnKeyDown(int virtualKey) override;
  void OnCloseBox() override;
  void OnTimer(int timerId) override;
  void OnTreeSelection(int controlId, int item) override;

 private:
  void Reset();
  void ApplyWindowSettings();
  void CreateControls(const std::vector<ControlLine>& lines);
  void CreateControl(const ControlLine& line);
  void ApplyNamedRules();
  void Place();
  void DispatchClick(int controlId);
  bool RunClickAction(const ControlRecord& record);
  void Report(int controlId, int recordIndex, int action, const std::string& name);
  int RecordIndexById(int controlId) const;

  PageHost& host_;
  std::unique_ptr<PageWindow> window_;
  std::string layoutFolder_, layoutFile_;
  int pagePosition_ = -1, pageCount_ = 0;
  WindowSettings settings_;
  FontSpec pageFont_;
  ColorRef backColor_ = 0;
  std::optional<Size> backPictureSize_;
  std::deque<ControlRecord> records_;  // "INFO" order; a deque keeps records in place as it grows
  std::vector<std::unique_ptr<SkinControl>> controls_;  // creation order
  std::vector<int> kindCounts_;
  int nextControlId_ = kFirstControlId;
  int installProgressKind_ = -1;
};

}  // namespace tw
