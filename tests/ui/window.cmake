# SPDX-License-Identifier: MIT
# The main window's controls, menu, timers, dialogs and size; the about box.
tandor_add_test(test_window
    SOURCES MainWindowTest.cpp AboutBoxTest.cpp
    LIBS tandor_form
    TIMEOUT 60)
