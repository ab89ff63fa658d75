# dniarz_existing_targets(<out-var> <target>...): the named targets that this build defines, so
# that programs over "all core libraries" keep building while subsystems come and go.
function(dniarz_existing_targets out)
    set(found)
    foreach(lib ${ARGN})
        if(TARGET ${lib})
            list(APPEND found ${lib})
        endif()
    endforeach()
    set(${out} ${found} PARENT_SCOPE)
endfunction()
