// The sample application's library: a file action calls its export when the ready page is reached
// (0 lets the setup go on), and its version resource shows the installer's version gate at work.
extern "C" __declspec(dllexport) int CheckReady(char* installFolder) {
  return installFolder && installFolder[0] ? 0 : 1;
}
