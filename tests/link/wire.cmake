# SPDX-License-Identifier: MIT
# The wire protocol's pure pieces and the connection step; the main window's receive path
# and commands.
tandor_add_test(test_wire
    SOURCES WireFramerTest.cpp WireFieldsTest.cpp WireNumberTest.cpp WireCommandsTest.cpp
            WireDispatchTest.cpp ConnectionStepTest.cpp
    LIBS tandor_link)
tandor_add_test(test_form_wire
    SOURCES FormWireTest.cpp
    LIBS tandor_form)
