# One library per folder of src/, seeing only the folders it depends on.
#
# qe_library(NAME FOLDER [QT] [LINK deps...] [PRIVATE_LINK deps...])
#
# Each folder is reached through an include root of its own in the build tree, holding one link
# named after the folder: a file includes "engrave/measure.h" only when the engrave root is on
# its path, that is when its library links qe_engrave, directly or through a public dependency.
# An include against the layering fails to compile.
function(qe_library name folder)
    cmake_parse_arguments(QE "QT" "" "LINK;PRIVATE_LINK" ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${folder}/*.cpp)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${root})
    target_link_libraries(${name} PUBLIC ${QE_LINK} PRIVATE ${QE_PRIVATE_LINK})
    if(QE_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON)
    endif()
endfunction()
