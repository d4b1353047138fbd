# SPDX-License-Identifier: MIT
# The serial port over pseudo-terminals.
tandor_add_test(test_serial
    SOURCES ComPortTest.cpp
    LIBS tandor_link tandor_ports
    TIMEOUT 60)

# The connection state machine, port selection, store and revert, tick by tick.
tandor_add_test(test_comstate
    SOURCES ComStateTest.cpp
    LIBS tandor_form
    TIMEOUT 120)
