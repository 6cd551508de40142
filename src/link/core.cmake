# The serial link to the radio: Qt Core and SerialPort only, no windows.
add_library(kqlink STATIC KqFrames.cpp KqSerialPort.cpp Form_QVCom.cpp KqTransfer.cpp)
target_include_directories(kqlink PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(kqlink PUBLIC kqdevice Qt6::Core Qt6::SerialPort)
