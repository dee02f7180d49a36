# cmake -DPRODUCT=<Quillon.exe> -DLOOPBACK=<loopback Quillon.exe> -DMAIN=.. -DDOWNLOAD=..
#       -DLOOPBACK_MAIN=.. -DLOOPBACK_DOWNLOAD=.. -P check_flavour_hosts.cmake
# Each flavour carries its own two service hosts and not the other flavour's.
cmake_minimum_required(VERSION 3.25)

function(expect exe present absent)
  set(hosts ${present} ${absent})
  list(JOIN hosts "|" alternatives)
  string(REPLACE "." "\\." alternatives "${alternatives}")
  file(STRINGS "${exe}" found REGEX "^(${alternatives})$")
  foreach(host ${present})
    if(NOT host IN_LIST found)
      message(FATAL_ERROR "${exe} lacks its host ${host}")
    endif()
  endforeach()
  foreach(host ${absent})
    if(host IN_LIST found)
      message(FATAL_ERROR "${exe} carries the other flavour's host ${host}")
    endif()
  endforeach()
endfunction()

expect("${PRODUCT}" "${MAIN};${DOWNLOAD}" "${LOOPBACK_MAIN};${LOOPBACK_DOWNLOAD}")
expect("${LOOPBACK}" "${LOOPBACK_MAIN};${LOOPBACK_DOWNLOAD}" "${MAIN};${DOWNLOAD}")
