chronark_add_test(cstring_test SOURCES cstring_test.cpp LIBS chronark_cstring)
chronark_add_test(ckm_test SOURCES ckm_test.cpp LIBS chronark_model)
chronark_add_test(ckm_random_test SOURCES ckm_random_test.cpp LIBS chronark_model)
