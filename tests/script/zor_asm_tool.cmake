# Runs the zor-asm program: assemble, list, and refuse a broken text.
#   cmake -DASM=<zor-asm> -DDATA=<folder of texts> -DOUT=<folder> -P zor_asm_tool.cmake
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${ASM} ${DATA}/hello.txt ${OUT}/hello.spt RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zor-asm failed on hello.txt: ${rc}")
endif()
file(SIZE ${OUT}/hello.spt size)
math(EXPR rest "${size} % 4")
if(size LESS 132 OR NOT rest EQUAL 0)
  message(FATAL_ERROR "hello.spt has ${size} bytes")
endif()
# A text that can run off its end is written, with a warning that names the
# line after which it can.
file(WRITE ${OUT}/open.txt "wait 1\ntext \"a\"\n")
execute_process(COMMAND ${ASM} ${OUT}/open.txt ${OUT}/open.spt ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS ${OUT}/open.spt OR
   NOT errors MATCHES "open.txt: warning: line 2: the script can run off its end")
  message(FATAL_ERROR "zor-asm on a text without its end: ${rc}\n${errors}")
endif()
execute_process(COMMAND ${ASM} --dump ${OUT}/hello.spt OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT listing MATCHES "choice" OR NOT listing MATCHES "header 32 words")
  message(FATAL_ERROR "zor-asm --dump: ${rc}\n${listing}")
endif()
execute_process(COMMAND ${ASM} ${DATA}/broken.txt ${OUT}/broken.spt
  ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(rc EQUAL 0 OR NOT errors MATCHES "line 1: label nowhere is not defined" OR EXISTS ${OUT}/broken.spt)
  message(FATAL_ERROR "zor-asm accepted broken.txt: ${rc}\n${errors}")
endif()
execute_process(COMMAND ${ASM} RESULT_VARIABLE rc ERROR_QUIET)
if(NOT rc EQUAL 2)
  message(FATAL_ERROR "zor-asm without arguments: ${rc}")
endif()
# A file that is not a compiled script (here the script's own text) is
# refused with the reason and status 1, not listed.
execute_process(COMMAND ${ASM} --dump ${DATA}/hello.txt OUTPUT_VARIABLE listing
  ERROR_VARIABLE errors RESULT_VARIABLE rc)
if(NOT rc EQUAL 1 OR NOT errors MATCHES "is not a compiled script: " OR NOT listing STREQUAL "")
  message(FATAL_ERROR "zor-asm --dump on a text: ${rc}\n${errors}\n${listing}")
endif()
