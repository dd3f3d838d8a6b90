# Makes the release packages from the program folder: the portable zip and the per-user installer.
# cmake -DDIST=<program folder> -DWORK=<scratch folder> -DZIP=<zip to make> -DSETUP=<installer to make>
#       -DVERSION=<x.y> -DICON=<.ico> -DPICTURE=<.bmp> -DSCRIPT=<pairwright.nsi>
#       -DZIP_TOOL=<zip> -DMAKENSIS=<makensis> -P package.cmake
cmake_minimum_required(VERSION 3.25)

set(size_limit 2097152)
file(SIZE ${DIST}/Pairwright.exe exe_size)
if(exe_size GREATER size_limit)
    message(FATAL_ERROR "Pairwright.exe has ${exe_size} bytes, more than the ${size_limit} it may have")
endif()

# What ships: the program and its ui and lan folders, nothing else a run may have left in the folder.
file(GLOB_RECURSE shipped RELATIVE ${DIST} ${DIST}/Pairwright.exe ${DIST}/ui/* ${DIST}/lan/*)
list(SORT shipped)
if(NOT "Pairwright.exe" IN_LIST shipped OR NOT "lan/pairwright.ini" IN_LIST shipped)
    message(FATAL_ERROR "${DIST} is not a complete program folder")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
get_filename_component(release ${ZIP} DIRECTORY)
file(MAKE_DIRECTORY ${release})

# The zip holds one folder, Pairwright, so that unpacking it anywhere gives the program folder.
file(CREATE_LINK ${DIST} ${WORK}/Pairwright SYMBOLIC)
list(TRANSFORM shipped PREPEND "Pairwright/" OUTPUT_VARIABLE zip_names)
list(JOIN zip_names "\n" zip_list)
file(WRITE ${WORK}/zip-list.txt "${zip_list}\n")
file(REMOVE ${ZIP})
execute_process(COMMAND ${ZIP_TOOL} -q -9 -X ${ZIP} -@ INPUT_FILE ${WORK}/zip-list.txt
    WORKING_DIRECTORY ${WORK} COMMAND_ERROR_IS_FATAL ANY)

# The installer's file lists: each file installed, and the uninstaller's deletions of exactly those
# files (and the right-to-left renderings an Arabic install copies over ui\), then their folders.
# The installed place of a path relative to the program folder, as an NSIS string.
function(installed out relative)
    string(REPLACE "$" "$$" relative "${relative}")
    string(REPLACE "/" "\\" relative "${relative}")
    if(relative)
        set(${out} "$INSTDIR\\${relative}" PARENT_SCOPE)
    else()
        set(${out} "$INSTDIR" PARENT_SCOPE)
    endif()
endfunction()
set(install "")
set(removed "")
set(folders "")
set(folder "-")
foreach(f ${shipped})
    get_filename_component(dir ${f} DIRECTORY)
    if(NOT dir STREQUAL folder)
        set(folder ${dir})
        installed(target "${dir}")
        string(APPEND install "  SetOutPath \"${target}\"\n")
        if(dir)
            list(APPEND folders ${dir})
        endif()
    endif()
    string(REPLACE "$" "$$" source "${DIST}/${f}")
    string(APPEND install "  File \"${source}\"\n")
    list(APPEND removed ${f})
    if(f MATCHES "^lan/Arabic/ui/(.*)$")
        list(APPEND removed "ui/${CMAKE_MATCH_1}")
    endif()
endforeach()
list(REMOVE_DUPLICATES removed)
set(uninstall "")
foreach(f ${removed})
    installed(target "${f}")
    string(APPEND uninstall "  Delete \"${target}\"\n")
endforeach()
# Deepest folders first; RMDir without /r leaves a folder that still holds a file of the user's.
set(parents ${folders})
foreach(dir ${folders})
    while(dir MATCHES "/")
        get_filename_component(dir ${dir} DIRECTORY)
        list(APPEND parents ${dir})
    endwhile()
endforeach()
list(REMOVE_DUPLICATES parents)
list(SORT parents ORDER DESCENDING)
foreach(dir ${parents})
    installed(target "${dir}")
    string(APPEND uninstall "  RMDir \"${target}\"\n")
endforeach()
file(WRITE ${WORK}/files.nsh "!macro PW_INSTALL_FILES\n${install}!macroend\n\n"
    "!macro PW_UNINSTALL_FILES\n${uninstall}!macroend\n")

file(REMOVE ${SETUP})
execute_process(COMMAND ${MAKENSIS} -V2 -WX -INPUTCHARSET UTF8 -DVERSION=${VERSION} -DICON=${ICON}
    -DPICTURE=${PICTURE} -DFILES=${WORK}/files.nsh -DOUTFILE=${SETUP} ${SCRIPT} COMMAND_ERROR_IS_FATAL ANY)
