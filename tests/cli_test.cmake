# Runs brenvik-gather as a script would and checks output and exit status.
# -DCLI=program -DEMULATOR=launcher (may be empty) -DWORK=scratch folder
# -DVERSION=the project's version
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/set)
file(WRITE ${WORK}/set/screen.1 "one\n")
file(WRITE ${WORK}/set/screen.2 "two\n")
foreach(name gap/screen.1 gap/screen.3 gap/screen.4 soko/soko001.txt soko/soko002.txt)
  file(WRITE ${WORK}/${name} "level\n")
endforeach()

function(run expected_code expected_stdout_regex)
  execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "brenvik-gather ${ARGN}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  if(NOT out MATCHES "${expected_stdout_regex}")
    message(FATAL_ERROR "brenvik-gather ${ARGN}: stdout [${out}] does not match [${expected_stdout_regex}]; stderr [${err}]")
  endif()
  set(last_stderr "${err}" PARENT_SCOPE)
endfunction()

# Where the launcher cannot run the program at all, the test is skipped.
execute_process(COMMAND ${EMULATOR} ${CLI} --help RESULT_VARIABLE code ERROR_VARIABLE err OUTPUT_QUIET)
if(code EQUAL 77)
  message("SKIP: ${err}")
  return()
endif()

run(0 "^usage: brenvik-gather FOLDER FORMAT OUTPUT" --help)
run(2 "^$")
if(NOT last_stderr MATCHES "^usage:")
  message(FATAL_ERROR "usage error without usage text on stderr: [${last_stderr}]")
endif()
run(2 "^$" a b)
run(2 "^$" a b c d)
run(0 "^2\r?\n$" ${WORK}/set screen.%d ${WORK}/out.xsb)
run(1 "^ERROR \r?\n$" ${WORK}/missing screen.%d ${WORK}/out2.xsb)
run(1 "^ERROR \r?\n$" ${WORK}/set screen.%s ${WORK}/out2.xsb)
# One row a case: exit status, standard output, a word the line on standard
# error must hold ("" for none: that run must be silent there), arguments.
string(REPEAT x 100 long)
if(EMULATOR)
  set(full Z:/dev/full)
else()
  set(full /dev/full)
endif()
set(rows
  "0|^2\r?\n$||${WORK}/set|screen.%d|${WORK}/out3.xsb"
  "0|^brenvik-gather ${VERSION}\r?\n$||--version"
  "1|^ERROR \r?\n$|no integer conversion|${WORK}/set|screen|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|more than one|${WORK}/set|screen.%d%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|unsupported|${WORK}/set|screen.%s|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|too long|${WORK}/set|screen.%d${long}|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|level file 1, .*missing.*: No such file|${WORK}/missing|screen.%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|level file 2 of the series, .*screen.2|${WORK}/set|screen.%d|${WORK}/set/screen.2"
  "1|^ERROR \r?\n$|cannot create the output .*nodir|${WORK}/set|screen.%d|${WORK}/nodir/o.xsb"
  "1|^ERROR \r?\n$|No space left on device|${WORK}/set|screen.%d|${full}"
  "0|^1\r?\n$|note: level file 2, .*screen.2, does not exist. 2 more files .* from screen.3 to screen.4, and were not|${WORK}/gap|screen.%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|note: the folder .*missing does not exist|${WORK}/missing|screen.%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|\".*screen  1\": No such.*note: try the format soko%03d.txt: soko001.txt to soko002.txt, 2 files|${WORK}/soko|screen%3d|${WORK}/o.xsb")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(POP_FRONT fields code stdout_regex word)
  run(${code} "${stdout_regex}" ${fields})
  if(word STREQUAL "")
    if(NOT last_stderr STREQUAL "")
      message(FATAL_ERROR "brenvik-gather ${fields}: a successful run wrote to stderr: [${last_stderr}]")
    endif()
  elseif(NOT last_stderr MATCHES "^brenvik-gather: .*${word}.*\n$")
    message(FATAL_ERROR "brenvik-gather ${fields}: stderr [${last_stderr}] does not say [${word}]")
  endif()
endforeach()
# An empty text cannot travel through a list.
execute_process(COMMAND ${EMULATOR} ${CLI} "" screen.%d ${WORK}/o.xsb OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT err MATCHES "^brenvik-gather: the folder is empty")
  message(FATAL_ERROR "empty folder: stderr [${err}]")
endif()

# A result that cannot be printed is no result, and says why.
execute_process(COMMAND ${EMULATOR} ${CLI} ${WORK}/set screen.%d ${WORK}/o.xsb
  OUTPUT_FILE /dev/full RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 2 OR NOT err MATCHES "^brenvik-gather: cannot write to standard output: No space left")
  message(FATAL_ERROR "stdout to /dev/full: exit ${code}, stderr [${err}]")
endif()

file(READ ${WORK}/out.xsb content)
if(NOT content MATCHES "^one\r?\n\r?\ntwo\r?\n\r?\n$")
  message(FATAL_ERROR "unexpected collection: [${content}]")
endif()
file(REMOVE_RECURSE ${WORK})
