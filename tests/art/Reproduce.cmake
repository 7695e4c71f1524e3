# Runs the generator into an empty folder and compares what it wrote with resources/.
set(expected
    background.bmp order_face.bmp order_face_pressed.bmp copy_face.bmp copy_face_pressed.bmp
    close_face.bmp close_face_pressed.bmp logo.bmp tavro.ico icon_30001.bin icon_group_1.bin
    background.pic order_face.pic order_face_pressed.pic copy_face.pic copy_face_pressed.pic
    close_face.pic close_face_pressed.pic logo.pic)

file(REMOVE_RECURSE "${OUT}")
file(MAKE_DIRECTORY "${OUT}")
execute_process(COMMAND "${GENERATOR}" "${OUT}" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "tavro_artgen failed: ${rc}")
endif()

file(GLOB written RELATIVE "${OUT}" "${OUT}/*")
list(SORT written)
set(want ${expected})
list(SORT want)
if(NOT written STREQUAL want)
    message(FATAL_ERROR "expected files ${want}, generator wrote ${written}")
endif()

set(differ)
foreach(name IN LISTS expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${OUT}/${name}" "${RESOURCES}/${name}"
                    RESULT_VARIABLE different)
    if(different)
        list(APPEND differ ${name})
    endif()
endforeach()
if(differ)
    message(FATAL_ERROR "differ from resources/: ${differ} (regenerate: tavro_artgen resources)")
endif()
list(LENGTH expected n)
message(STATUS "${n} files reproduced byte for byte")
