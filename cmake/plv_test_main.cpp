// The main of every test program. Test environment comes from here rather
// than from CTest properties, so a test run by hand behaves as under ctest.
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    // Where tests find the repository's own files (data/, fixtures).
    setenv("PLV_TEST_SOURCE_DIR", PLV_TEST_SOURCE_DIR, 0);
#ifdef PLV_UI_TEST
    // No window needs a display, and a desktop's platform theme must not
    // bring native dialogs that hang without one.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    unsetenv("QT_QPA_PLATFORMTHEME");
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
