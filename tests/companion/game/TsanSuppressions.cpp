// ThreadSanitizer reads these suppressions from the test program itself.
// Qt's own worker pool (used when it paints or converts large images, as the
// wood-textured board is) hands work over with futex-based locks that a Qt
// built without ThreadSanitizer does not show to it: its reports about Qt's
// internals are not races of ours. Without ThreadSanitizer nothing calls this.
extern "C" const char* __tsan_default_suppressions();
extern "C" const char* __tsan_default_suppressions() {
  return "race:libQt6Core.so\n"
         "race:libQt6Gui.so\n";
}
