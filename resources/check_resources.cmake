# cmake -DFILE=<exe or dll> -DWRESTOOL=<wrestool> -DPRODUCT_NAME=ON|OFF -DWORK=<scratch file>
#       -P check_resources.cmake
# Reads the resources of a built file and fails unless it carries Kestor's process manifest
# (elevation required, Windows 7 declared), an icon and the names: 2001 "Mirelund" and, with
# PRODUCT_NAME ON, 2002 "Tovrelin" (with OFF, 2002 must be absent).
foreach(var FILE WRESTOOL PRODUCT_NAME WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_resources: ${var} is not set")
  endif()
endforeach()

function(wrestool_extract type name out)
  execute_process(COMMAND ${WRESTOOL} -x --raw --type=${type} --name=${name} ${ARGN} ${FILE}
                  RESULT_VARIABLE result OUTPUT_VARIABLE text ERROR_VARIABLE error)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "wrestool failed on ${FILE} (type ${type}, name ${name}): ${error}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

execute_process(COMMAND ${WRESTOOL} -l ${FILE} RESULT_VARIABLE result OUTPUT_VARIABLE listing)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "wrestool cannot list the resources of ${FILE}")
endif()
if(NOT listing MATCHES "--type=14 ")
  message(FATAL_ERROR "${FILE} carries no icon:\n${listing}")
endif()

wrestool_extract(24 1 manifest)
foreach(expected "requestedExecutionLevel level=\"requireAdministrator\""
                 "supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"")
  string(FIND "${manifest}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the manifest of ${FILE} lacks ${expected}:\n${manifest}")
  endif()
endforeach()

# Strings are stored in blocks of 16: block 126 holds ids 2000 to 2015, each a 16-bit length and
# that many UTF-16LE units. The block is binary, so it goes through a file read as hex.
wrestool_extract(6 126 ignored -o ${WORK})
file(READ ${WORK} block HEX)
file(REMOVE ${WORK})
string(LENGTH "${block}" block_length)
set(pos 0)
foreach(index RANGE 0 2)
  if(pos GREATER_EQUAL block_length)
    message(FATAL_ERROR "the string block of ${FILE} is cut short")
  endif()
  string(SUBSTRING "${block}" ${pos} 2 low)
  math(EXPR pos "${pos} + 2")
  string(SUBSTRING "${block}" ${pos} 2 high)
  math(EXPR pos "${pos} + 2")
  math(EXPR units "0x${high}${low}")
  math(EXPR digits "${units} * 4")
  string(SUBSTRING "${block}" ${pos} ${digits} string_${index})
  math(EXPR pos "${pos} + ${digits}")
endforeach()

function(expect_string id hex text)
  string(HEX "${text}" ascii)
  string(REGEX REPLACE "(..)" "\\100" wide "${ascii}")
  if(NOT hex STREQUAL wide)
    message(FATAL_ERROR "string ${id} of ${FILE} is not \"${text}\" (UTF-16LE hex: '${hex}')")
  endif()
endfunction()

expect_string(2001 "${string_1}" "Mirelund")
if(PRODUCT_NAME)
  expect_string(2002 "${string_2}" "Tovrelin")
else()
  expect_string(2002 "${string_2}" "")
endif()
message(STATUS "${FILE}: manifest, icon and strings as expected")
