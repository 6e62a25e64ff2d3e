// The folder dialog: the system's folder browser with an edit box of our own above its tree, so a
// user can type a folder that does not exist yet. OK is held back until the caller accepts the path.
#include <windows.h>
#include <shlobj.h>

#include "platform/win32/win32_page.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_window.h"

namespace tw {
namespace {

constexpr int kTreeId = 14145;
constexpr int kStatusId = 14147;
constexpr int kEditId = 14148;

// The browser dialog, subclassed: the edit box's changes enable OK, and OK asks the caller first.
struct BrowseState : WindowObject {
  LRESULT OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) override;
  // Takes the dialog's messages from now on; false when the system refused.
  bool Hook(HWND dialog) { return Subclass(dialog); }

  std::string title;
  const std::function<bool(const std::string&, NativeWindow)>* accept = nullptr;
  HWND edit = nullptr;
  std::string chosen;
  bool accepted = false;
};

LRESULT BrowseState::OnMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) {
    SendMessageW(dialog, BFFM_ENABLEOK, 0, WindowTextOf(edit).empty() ? 0 : 1);
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
    std::string text = WindowTextOf(edit);
    // The questions and errors about the path are the dialog's own: above it and modal to it.
    if (!(*accept)(text, NativeWindow{dialog})) {
      SetFocus(edit);
      return 0;
    }
    chosen = text;
    accepted = true;
  }
  return CallBase(dialog, message, wParam, lParam);
}

// The edit box spans the tree's width, from 27 to 4 pixels above its top edge.
void AddEditBox(HWND dialog, BrowseState& state) {
  HWND tree = GetDlgItem(dialog, kTreeId);
  RECT treeRect = {0, 0, 0, 0};
  if (tree) {
    GetWindowRect(tree, &treeRect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&treeRect), 2);
  }
  state.edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                               treeRect.left, treeRect.top - 27, treeRect.right - treeRect.left, 23, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), GetModuleHandleW(nullptr),
                               nullptr);
  if (state.edit) SendMessageW(state.edit, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), TRUE);
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM parameter, LPARAM data) {
  auto* state = reinterpret_cast<BrowseState*>(data);
  if (message == BFFM_INITIALIZED) {
    SetWindowTextW(dialog, Wide(state->title).c_str());
    if (HWND status = GetDlgItem(dialog, kStatusId)) ShowWindow(status, SW_HIDE);
    AddEditBox(dialog, *state);
    state->Hook(dialog);
  } else if (message == BFFM_SELCHANGED) {
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(reinterpret_cast<LPCITEMIDLIST>(parameter), path) || path[1] != L':') path[0] = L'\0';
    SendMessageW(dialog, BFFM_ENABLEOK, 0, path[0] ? 1 : 0);
    SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path));
    if (state->edit) SetWindowTextW(state->edit, path);
  }
  return 0;
}

}  // namespace

// Owned by the page that asked: it stays behind the browser and takes no clicks until it closes.
std::optional<std::string> Win32Shell::BrowseForFolder(
    const std::string& title, const std::string& prompt,
    const std::function<bool(const std::string& path, NativeWindow dialog)>& accept, PageWindow* owner) {
  CoInitialize(nullptr);  // the browser needs COM on this thread; an earlier start is fine
  PagesHeld held(owner);
  BrowseState state;
  state.title = title;
  state.accept = &accept;
  const std::wstring widePrompt = Wide(prompt);
  BROWSEINFOW info = {};
  info.hwndOwner = held.Owner();
  info.lpszTitle = widePrompt.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
  info.lpfn = &BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(&state);
  LPITEMIDLIST chosen = SHBrowseForFolderW(&info);
  if (chosen) CoTaskMemFree(chosen);
  if (!state.accepted) return std::nullopt;
  return state.chosen;
}

}  // namespace tw
