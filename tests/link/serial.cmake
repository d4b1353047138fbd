# SPDX-License-Identifier: MIT
# The serial port over pseudo-terminals.
tandor_add_test(test_serial
    SOURCES ComPortTest.cpp
    LIBS tandor_link
    TIMEOUT 60)
