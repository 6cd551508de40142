kq_gtest(test_KqFrames SOURCES test_KqFrames.cpp LIBS kqlink)
kq_gtest(test_KqSerialPort SOURCES test_KqSerialPort.cpp LIBS kqlink)
