# Application services (app/) and the maker libraries (plugins/).

# Standard C++: these run in the sanitizer build too.
chronark_add_test(capp_test SOURCES capp_test.cpp LIBS chronark_appcore)
chronark_add_test(errorreport_test SOURCES errorreport_test.cpp LIBS chronark_appcore)
chronark_add_test(appversionfeed_test SOURCES appversionfeed_test.cpp LIBS chronark_revwatch_core)

if(CHRONARK_GUI)
  # Stand-ins for the maker libraries that record their calls.
  add_library(app_fake_full MODULE appfakelibrary.cpp)
  add_library(app_fake_noexports MODULE appfakelibrary.cpp)
  target_compile_definitions(app_fake_noexports PRIVATE FAKE_NO_EXPORTS)
  foreach(fake app_fake_full app_fake_noexports)
    target_include_directories(${fake} PRIVATE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${fake} PRIVATE chronark_warnings)
    # GNU-unique symbols would keep glibc from unloading them, and the tests check that a
    # library without its export is really unloaded.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
      target_compile_options(${fake} PRIVATE -fno-gnu-unique)
    endif()
    set_target_properties(${fake} PROPERTIES
      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/app-fakes)
  endforeach()

  set(app_qt_env appqtenv.cpp)
  chronark_add_test(appformsettings_test SOURCES appformsettings_test.cpp ${app_qt_env}
                    LIBS chronark_app)
  chronark_add_test(appplatform_test SOURCES appplatform_test.cpp ${app_qt_env}
                    LIBS chronark_app)
  chronark_add_test(appmakerlibs_test SOURCES appmakerlibs_test.cpp ${app_qt_env}
                    LIBS chronark_app ${CMAKE_DL_LIBS})
  add_dependencies(appmakerlibs_test app_fake_full app_fake_noexports)
  target_compile_definitions(appmakerlibs_test PRIVATE
    FAKE_FULL="$<TARGET_FILE:app_fake_full>"
    FAKE_NO_EXPORTS="$<TARGET_FILE:app_fake_noexports>")

  chronark_add_test(appplugins_test SOURCES appplugins_test.cpp ${app_qt_env}
                    LIBS chronark_app Qt6::Network)
  add_dependencies(appplugins_test infopane revwatch)
  target_compile_definitions(appplugins_test PRIVATE
    CHRONARK_PROGRAM_DIR="${CMAKE_BINARY_DIR}/bin")
endif()
