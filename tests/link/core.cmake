kq_gtest(test_KqFrames SOURCES test_KqFrames.cpp LIBS kqlink)
