# SPDX-License-Identifier: MIT
# The main window's controls, menu, timers, dialogs and size; the about box.
tandor_add_test(test_window
    SOURCES MainWindowTest.cpp AboutBoxTest.cpp
    LIBS tandor_form
    TIMEOUT 60)

# Every text of the main window and the about box against its control, in the fonts the
# program gets: on a 96-dpi screen, and again on a 144-dpi one that Qt scales by 1.5.
tandor_add_test(test_text_fit
    SOURCES TextFitTest.cpp
    LIBS tandor_form
    TIMEOUT 120)
add_test(NAME test_text_fit_144dpi COMMAND test_text_fit)
set_tests_properties(test_text_fit_144dpi PROPERTIES
    TIMEOUT 120
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${CMAKE_CURRENT_SOURCE_DIR}/screen-144dpi.json")
