# SPDX-License-Identifier: MIT
# The value mappings of the parameter controls (pure).
tandor_add_test(test_value_mappings
    SOURCES ValueMappingsTest.cpp
    LIBS tandor_core)

# The slider and list widgets, on their own: only their sources, none of the window.
tandor_add_test(test_control_widgets
    SOURCES TrackBarTest.cpp ComboBoxTest.cpp
            ${CMAKE_SOURCE_DIR}/src/ui/TrackBar.h ${CMAKE_SOURCE_DIR}/src/ui/TrackBar.cpp
            ${CMAKE_SOURCE_DIR}/src/ui/ComboBox.h ${CMAKE_SOURCE_DIR}/src/ui/ComboBox.cpp
    LIBS tandor_core
    TIMEOUT 60)

# The parameter controls on the main window, with the port closed and over a virtual port.
tandor_add_test(test_parameter_controls
    SOURCES ControlsFixture.h ParameterControlsTest.cpp FirmwareChoicesTest.cpp
            ParameterWireTest.cpp
    LIBS tandor_form
    TIMEOUT 120)
