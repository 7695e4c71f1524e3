# The linters run as tests of the Windows build, whose compile commands clang-tidy reads.
foreach(check format tidy cppcheck)
    add_test(NAME lint.${check} COMMAND ${PROJECT_SOURCE_DIR}/tools/lint.sh ${check})
    set_tests_properties(lint.${check} PROPERTIES
        ENVIRONMENT "TAVRO_WINDOWS_BUILD=${CMAKE_BINARY_DIR}"
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        TIMEOUT 600)
endforeach()
