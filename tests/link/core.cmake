kq_gtest(test_KqFrames SOURCES test_KqFrames.cpp LIBS kqlink)
kq_gtest(test_KqSerialPort SOURCES test_KqSerialPort.cpp LIBS kqlink)
kq_gtest(test_Form_QVCom SOURCES test_Form_QVCom.cpp LIBS kqlink)
kq_gtest(test_KqTransfer SOURCES test_KqTransfer.cpp LIBS kqlink)
