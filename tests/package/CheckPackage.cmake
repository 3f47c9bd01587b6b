# Makes the release zip of a Windows build and checks that it holds exactly the program, its hook module, the
# other bitness's hook module and helper, and the three files beside it, each the same as in the build's
# bin folder.
# Usage: cmake -DCPACK=<cpack> -DBUILD_DIR=<build> -DPACKAGE_NAME=<name without .zip> -DHOOK_MODULE=<dll>
#   -DOTHER_FILES=<dll;exe> -P CheckPackage.cmake
set(expected Paneprobe.exe ${HOOK_MODULE} ${OTHER_FILES} WindowMessages.csv changelog.txt readme.txt)
list(SORT expected)
set(out ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${out})
file(MAKE_DIRECTORY ${out})
execute_process(COMMAND ${CPACK} -G ZIP -B ${out} --config ${BUILD_DIR}/CPackConfig.cmake
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
set(zip ${out}/${PACKAGE_NAME}.zip)
if(NOT result EQUAL 0 OR NOT EXISTS ${zip})
  message(FATAL_ERROR "cpack did not make ${zip}:\n${output}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cannot list ${zip}")
endif()
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "^$")
list(SORT entries)
if(NOT entries STREQUAL expected)
  message(FATAL_ERROR "${zip} holds [${entries}], expected exactly [${expected}]")
endif()

set(unpacked ${out}/unpacked)
file(MAKE_DIRECTORY ${unpacked})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${unpacked} RESULT_VARIABLE result)
foreach(name ${expected})
  file(SHA256 ${unpacked}/${name} packed)
  file(SHA256 ${BUILD_DIR}/bin/${name} built)
  if(NOT packed STREQUAL built)
    message(FATAL_ERROR "${name} in ${zip} differs from bin/${name}")
  endif()
  file(SIZE ${unpacked}/${name} size)
  if(size EQUAL 0)
    message(FATAL_ERROR "${name} in ${zip} is empty")
  endif()
endforeach()
message(STATUS "${PACKAGE_NAME}.zip holds ${expected}")
