# Runs brenvik-gather as a script would and checks output and exit status.
# -DCLI=program -DEMULATOR=launcher (may be empty) -DWORK=scratch folder
# -DVERSION=the project's version
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/set)
set(board "#####\n#@$.#\n#####\n")
file(WRITE ${WORK}/set/screen.1 "##\n")
file(WRITE ${WORK}/set/screen.2 "###\n")
# Folders for the notes: a %02d series past 9 typed as %d, a padded series
# with gaps, a series from 0, one from 2, a folder of packs with solutions
# beside the levels, a name that needs quotes, a folder named -x.
set(q "it's (best), v2")
foreach(name gap/screen.1 gap/screen.3 gap/screen.4 soko/soko001.txt soko/soko002.txt
    hole/soko01.txt hole/soko02.txt
    hole/soko03.txt hole/soko05.txt hole/soko07.txt zero/screen.0 zero/screen.1 two/screen.2 two/screen.3
    -x/screen.1 "${q}/soko 1%.txt" "${q}/soko 2%.txt" boards/l1 nested/sub/gri0001.sok nested/sub/gri0002.sok)
  file(WRITE ${WORK}/${name} "${board}")
endforeach()
foreach(n 01 02 03 04 05 06 07 08 09 10 11 12 13 14 15)
  file(WRITE ${WORK}/pad/level${n}.txt "${board}")
endforeach()
foreach(n RANGE 2 20)  # from 2, past 9: l02 ... l20
  string(LENGTH "${n}" digits)
  if(digits EQUAL 1)
    set(n "0${n}")
  endif()
  file(WRITE ${WORK}/from2/l${n} "${board}")
endforeach()
# A digit after the number; a level pack behind more kinds of pictures and
# solutions, and folders named as a series.
foreach(n 1 2 3 4)
  if(n LESS 3)
    file(WRITE ${WORK}/v2/maze${n}_v2.sok "${board}")
  endif()
  if(n LESS 4)  # two series gather: the larger holds no board
    file(WRITE ${WORK}/v2/maze${n}_v2.sol "uurrDDlluR\n")
  endif()
  foreach(ext sol png gif)
    file(WRITE ${WORK}/iso/p${n}.${ext} "no board\n")
  endforeach()
  if(n LESS 4)
    file(WRITE ${WORK}/iso/p${n}.sok "${board}")
  endif()
  file(MAKE_DIRECTORY ${WORK}/iso/p${n}.bak ${WORK}/iso/p5.bak)
endforeach()
# What a Sokoban program reads back: solutions hold no board; titles,
# comments, empty lines and ragged or indented rows keep one board one level.
foreach(n 1 2)
  file(WRITE ${WORK}/sol/gri000${n}.sol "uurrDDlluR\n")
endforeach()
file(WRITE ${WORK}/boards/l2 "Title: #2\n\n  #####\n###_-#\n#@$.*#\n#####\n    \nAuthor: me\nComment:\nfine\nComment-End:\n")
file(WRITE ${WORK}/boards/l3 "; crlf\r\n#####\r\n#@$.#\r\n#####\r\n")
file(WRITE ${WORK}/double/l1 "${board}")
file(WRITE ${WORK}/double/l2 "${board}\n#####")  # the second board one open row
foreach(n 1 2 3 4)
  file(WRITE ${WORK}/several/l${n} "${board}\n${board}")
endforeach()
file(WRITE ${WORK}/one/l1 "${board}")
file(WRITE ${WORK}/one/l2 "Title only\n")
file(COPY ${WORK}/one/l2 ${WORK}/several/l1 DESTINATION ${WORK}/even)  # as many boards as files
# Over 16 MB, read back whole: natively only, where the reader is the same
# code and 16 MB take no minute to gather.
if(NOT EMULATOR)
  string(REPEAT "x\n" 8388609 big)
  file(WRITE ${WORK}/big/l1 "${big}${board}")
  set(big "")
else()
  file(WRITE ${WORK}/big/l1 "${board}")
endif()
# Rows a Sokoban program will not read: a tab, CR line ends, a Ctrl+Z with
# a row after it.
string(ASCII 26 ctrlz)
file(WRITE ${WORK}/tab/l1 "#####\t\n#@$.#\n#####\n")
file(WRITE ${WORK}/mac/l1 "#####\r#@$.#\r#####\r")
file(WRITE ${WORK}/dos/l1 "${board}${ctrlz}#####\n")
file(WRITE ${WORK}/macpair/l1 "#####\r#@$.#\r#####\r")  # the count as gathered, one board lost
file(WRITE ${WORK}/macpair/l2 "${board}\n${board}")
if(EMULATOR)
  set(ctrlz_note "l1 ends at a Ctrl.Z byte, as Windows reads text: the 3 or more bytes after it were not gathered")
else()
  set(ctrlz_note "a Windows program reading the collection as text stops at the Ctrl.Z byte of l1: it will not see what follows")
endif()
# Packs of levels (a board each) beside their solutions (none), and 40
# smaller packs of solutions.
foreach(n RANGE 1 40)
  file(WRITE ${WORK}/packs/kind${n}_1.sol "solution\n")
  file(WRITE ${WORK}/packs/kind${n}_2.sol "solution\n")
endforeach()
foreach(n 1 2 3 4 5)
  foreach(kind gri000${n} level_${n} lv000${n})
    if(n LESS 4 OR NOT kind MATCHES "^gri")  # gri 3 files, the others 5
      file(WRITE ${WORK}/packs/${kind}.sok "${board}")
      file(WRITE ${WORK}/packs/${kind}.sol "uurrDDlluR\n")
    endif()
  endforeach()
endforeach()
file(REMOVE ${WORK}/packs/lv0005.sol)  # the lv solutions one fewer
file(WRITE ${WORK}/packs/LV_0001.sok "${board}")  # another case, closer than a separator
# Past what a hint counts number by number (65535), where its range must
# still end at the last file; under Wine fewer, which list slowly.
# Natively a second series runs past 65536 with a gap further on, which no
# count reaches.
set(long_hints "@note: try the format lv%d.xsb: from lv1.xsb to lv4100.xsb, 4100 files")
set(nlong 4100)
if(NOT EMULATOR)
  set(nlong 65540)
  set(long_hints "@note: try the format lv%d.xsb: from lv1.xsb to lv65540.xsb, 65540 files\n@note: try the format lv%d.sol: from lv1.sol on, at least 65536 files")
endif()
file(MAKE_DIRECTORY ${WORK}/long ${WORK}/empty)
set(names "")  # appended as text: list(APPEND) copies the whole list each time
foreach(n RANGE 1 ${nlong})
  string(APPEND names "${WORK}/long/lv${n}.xsb;")
  if(n LESS 65537 AND nlong GREATER 65536)
    string(APPEND names "${WORK}/long/lv${n}.sol;")
  endif()
endforeach()
if(nlong GREATER 65536)
  string(APPEND names "${WORK}/long/lv65540.sol")
endif()
file(TOUCH ${names})
set(names "")
# More kinds of names than are kept: the one meant is never dropped for room.
foreach(n RANGE 1 1000)
  file(WRITE ${WORK}/crowd/kind${n}_1.sol "solution\n")
endforeach()
file(WRITE ${WORK}/crowd/gri0001.sok "${board}")
file(MAKE_DIRECTORY ${WORK}/two/screen.0)  # a folder is no level file 0

# The program's standard error in err: LF line ends, and without Wine's own
# lines (seen now and then: a crash of another process of the prefix that
# writes to the same stream, with this program's output and status as they
# should be).
macro(program_stderr)
  string(REPLACE "\r\n" "\n" err "${err}")
  string(REGEX REPLACE "(^|\n)wine: [^\n]*\n" "\\1" err "${err}")
endmacro()

function(run expected_code expected_stdout_regex)
  execute_process(COMMAND ${EMULATOR} ${CLI} ${ARGN} WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
  program_stderr()
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "brenvik-gather ${ARGN}: exit ${code}, expected ${expected_code}\n${out}${err}")
  endif()
  if(NOT out MATCHES "${expected_stdout_regex}")
    message(FATAL_ERROR "brenvik-gather ${ARGN}: stdout [${out}] does not match [${expected_stdout_regex}]; stderr [${err}]")
  endif()
  set(last_stderr "${err}" PARENT_SCOPE)
  set(last_stdout "${out}" PARENT_SCOPE)
endfunction()

# Where the launcher cannot run the program at all, the test is skipped.
execute_process(COMMAND ${EMULATOR} ${CLI} --help RESULT_VARIABLE code ERROR_VARIABLE err OUTPUT_QUIET)
if(code EQUAL 77)
  message("SKIP: ${err}")
  return()
endif()

run(0 "^Usage: brenvik-gather .OPTION.[.][.][.] FOLDER FORMAT OUTPUT.*Exit status: 0 gathered, 1 ERROR, 2 " --help)
# Windows' own help switch; elsewhere /? is a path, here a missing folder.
if(EMULATOR)
  run(0 "^Usage: brenvik-gather " a /? b)
else()
  run(2 "^$" /?)
endif()
run(2 "^$")
if(NOT last_stderr STREQUAL "brenvik-gather: missing operand FOLDER\nTry 'brenvik-gather --help' for more information.\n")
  message(FATAL_ERROR "usage error: [${last_stderr}]")
endif()
run(0 "^2\r?\n$" ${WORK}/set screen.%d ${WORK}/out.xsb)
# One row a case: exit status, standard output, the whole of standard error
# ("" for none: that run must be silent there; "@" stands for the program's
# name and ": "; ".*" for a path of this machine), arguments.
string(REPEAT x 100 long)
if(EMULATOR)
  set(full Z:/dev/full)
else()
  set(full /dev/full)
endif()
set(try "Try 'brenvik-gather --help' for more information.")
set(version "^brenvik-gather .Brenvik. ${VERSION}\r?\nCopyright .c. 2026 The Brenvik developers\r?\nLicense MIT: [^\n]*\nThis is free software")
# cmd.exe reads double quotes, a POSIX shell single quotes.
if(EMULATOR)
  set(qq "\"")
  set(qname "\"it's \\(best\\), v2.soko_1.txt\"")
  set(qformat "\"soko %d%%.txt\"")
  set(qfirst "\"soko 1%.txt\"")
  set(qlast "\"soko 2%.txt\"")
  set(qnl "\"nl.x")  # cmd.exe reads no line end in a word
  set(qnlend "\"")
  # No Windows name holds a double quote or a question mark.
  set(quoted_row "0|^2\r?\n$|")
  set(unspelled "@note: the name ${qq}?a.b.screen.1${qq}? holds characters that this system's code page .[0-9]+. cannot spell")
else()
  set(qq "'")
  set(qname "'it'.''s \\(best\\), v2.soko_1.txt'")
  set(qformat "'soko %d%%.txt'")
  set(qfirst "'soko 1%.txt'")
  set(qlast "'soko 2%.txt'")
  set(qnl "'nl'[$]'.n''x")
  set(qnlend "'")
  set(quoted_row "1|^ERROR \r?\n$|@cannot open level file 1, '\"set\".screen.1': No such file or directory\n@note: the folder '\"set\"' does not exist")
  set(unspelled "@note: the folder 'a.b' does not exist")
endif()
set(elsewhere "@note: choose an output outside the series, such as screen.xsb")
file(REMOVE ${WORK}/hl.xsb)
file(CREATE_LINK ${WORK}/set/screen.2 ${WORK}/hl.xsb)
file(CREATE_LINK ${WORK}/set/screen.2 ${WORK}/sl.xsb SYMBOLIC)
file(CREATE_LINK ${WORK}/set/screen.2 ${WORK}/screen.xsb)  # the name an advice would give
set(rows
  "0|^2\r?\n$||${WORK}/set|screen.%d|${WORK}/out3.xsb"
  "0|${version}||--version"
  "2|^$|@invalid option -- 'x'\n${try}|a|-x|b"
  "2|^$|@unrecognized option '--versions'\n${try}|--versions"
  "0|${version}||a|b|c|--vers|--help"
  "2|^$|@missing operand OUTPUT\n${try}|a|b"
  "2|^$|@extra operand 'd'\n${try}|a|b|c|d"
  "1|^ERROR \r?\n$|@cannot open level file 1, -.screen.1: No such file or directory\n@note: the folder - does not exist|-|screen.%d|o.xsb"
  "0|^1\r?\n$||--|-x|screen.%d|o.xsb"
  "0|^2\r?\n$|@note: a Sokoban program will see 0 levels in gri.xsb, not 2: 2 level files hold no board, such as gri0001.sol|sol|gri%04d.sol|gri.xsb"
  "0|^2\r?\n$|@note: a Sokoban program will see 3 levels in o.xsb, not 2: 1 level file holds several boards, such as l2|double|l%d|o.xsb"
  "0|^3\r?\n$||boards|l%d|o.xsb"
  "0|^1\r?\n$||big|l%d|o.xsb"
  "1|^ERROR \r?\n$|@format screen is refused: it has no integer conversion such as %d\n@note: write %d where the number stands: screen.%d for screen.1|${WORK}/set|screen|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@format screen.%d%d is refused: it has more than one conversion\n@note: keep one, and write %% for a percent sign|${WORK}/set|screen.%d%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@format screen.%s is refused: an unsupported conversion\n@note: use %d, %i, .*|${WORK}/set|screen.%s|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@format screen.%d% is refused: it has a % that starts no conversion\n@note: write %% for a percent sign|set|screen.%d%|o.xsb"
  "1|^ERROR \r?\n$|@the format is too long [^\n]*\n@note: keep the file name alone in it, and its folder in FOLDER|${WORK}/set|screen.%d${long}|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@the output hl.xsb is level file 2 of the series, .*screen.2: refused\n${elsewhere}|${WORK}/set|screen.%d|hl.xsb"
  "1|^ERROR \r?\n$|@the output sl.xsb is level file 2 of the series, .*screen.2: refused\n${elsewhere}|${WORK}/set|screen.%d|sl.xsb"
  "1|^ERROR \r?\n$|@the output set/screen.2 is level file 2 of the series: refused\n${elsewhere}|set|screen.%d|set/screen.2"
  "1|^ERROR \r?\n$|@the output set/screen.8 is level file 8 of the series .not there yet.: refused\n${elsewhere}|set|screen.%d|set/screen.8"
  "1|^ERROR \r?\n$|@the output screen.xsb is level file 2 of the series, set.screen.2: refused\n@note: choose an output outside the series|set|screen.%d|screen.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, set.set.screen.1: No such file or directory\n@note: the folder set.set does not exist\n@note: the format repeats the folder set: try the format screen.%d|set|set/screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, empty.screen.1: No such file or directory\n@note: the folder holds no files|empty|screen.%d|o.xsb"
  "${quoted_row}|\"set\"|screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, ${qq}?a.b.screen.1${qq}?: No such file or directory\n${unspelled}|a?b|screen.%d|o.xsb"
  "0|^2\r?\n$|@note: a Sokoban program will see 1 level in o.xsb, not 2: 1 level file holds no board, such as l2|one|l%d|o.xsb"
  "0|^4\r?\n$|@note: a Sokoban program will see 8 levels in o.xsb, not 4: 4 level files hold several boards, such as l1, l2 and l3|several|l%d|o.xsb"
  "0|^2\r?\n$||even|l%d|o.xsb"
  "0|^1\r?\n$|@note: a Sokoban program will not see the top row of the board in l1: the row holds a tab|tab|l%d|o.xsb"
  "0|^1\r?\n$|@note: a Sokoban program will not see the board in l1: the file uses CR line ends, as old Mac programs wrote|mac|l%d|o.xsb"
  "0|^1\r?\n$|@note: ${ctrlz_note}|dos|l%d|o.xsb"
  "0|^2\r?\n$|@note: a Sokoban program will not see the board in l1: the file uses CR line ends, as old Mac programs wrote|macpair|l%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot create the output nodir.o.xsb: No such file or directory\n@note: the folder nodir does not exist|${WORK}/set|screen.%d|nodir/o.xsb"
  "1|^ERROR \r?\n$|@cannot write the output .*: No space left on device\n@note: make room on that drive, or choose an output on another|${WORK}/set|screen.%d|${full}"
  "1|^ERROR \r?\n$|@cannot create the output empty: Is a directory\n@note: name a file in that folder, such as screen.xsb|set|screen.%d|empty"
  "0|^1\r?\n$|@note: level file 2, .*screen.2, does not exist. 2 more files of the series follow it, from screen.3 to screen.4, and were not gathered|${WORK}/gap|screen.%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*missing.screen.1: No such file or directory\n@note: the folder .*missing does not exist|${WORK}/missing|screen.%d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, ${qq}.*screen  1${qq}: No such file or directory\n@note: try the format soko%03d.txt: from soko001.txt to soko002.txt, 2 files|${WORK}/soko|screen%3d|${WORK}/o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*level1.txt: No such file or directory\n@note: try the format level%02d.txt: from level01.txt to level15.txt, 15 files|pad|level%d.txt|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*soko1.txt: No such file or directory\n@note: try the format soko%02d.txt: from soko01.txt to soko03.txt, 3 files. 2 more follow a gap, from soko05.txt to soko07.txt|hole|soko%d.txt|o.xsb"
  "0|^1\r?\n$|@note: screen.0 was not gathered: gathering starts at number 1|zero|screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, two/screen.1: No such file or directory\n@note: 2 files of the series exist, from screen.2 to screen.3, but gathering starts at number 1|two/|screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*gri0001.txt: No such file or directory\n@note: try the format gri%04d.sok: from gri0001.sok to gri0003.sok, 3 files\n@note: try the format gri%04d.sol: from gri0001.sol to gri0003.sol, 3 files\n@note: try the format level_%d.sok: from level_1.sok to level_5.sok, 5 files|packs|gri%04d.txt|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*gri0001: No such file or directory\n@note: try the format gri%04d.sok: from gri0001.sok to gri0003.sok, 3 files\n@note: try the format gri%04d.sol: from gri0001.sol to gri0003.sol, 3 files\n@note: try the format level_%d.sok: from level_1.sok to level_5.sok, 5 files|packs|gri%04d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*level1.sok: No such file or directory\n@note: try the format level_%d.sok: from level_1.sok to level_5.sok, 5 files\n@note: try the format level_%d.sol: from level_1.sol to level_5.sol, 5 files\n@note: try the format lv%04d.sok: from lv0001.sok to lv0005.sok, 5 files|packs|level%d.sok|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*GRI1.SOK: No such file or directory\n@note: try the format gri%04d.sok: from gri0001.sok to gri0003.sok, 3 files\n@note: try the format gri%04d.sol: from gri0001.sol to gri0003.sol, 3 files\n@note: try the format level_%d.sok: from level_1.sok to level_5.sok, 5 files|packs|GRI%d.SOK|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*gri1.sol: No such file or directory\n@note: try the format gri%04d.sol: from gri0001.sol to gri0003.sol, 3 files\n@note: try the format gri%04d.sok: from gri0001.sok to gri0003.sok, 3 files\n@note: try the format level_%d.sol: from level_1.sol to level_5.sol, 5 files|packs|gri%d.sol|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*lv_1.sok: No such file or directory\n@note: try the format LV_%04d.sok: LV_0001.sok, 1 file\n@note: try the format lv%04d.sok: from lv0001.sok to lv0005.sok, 5 files\n@note: try the format lv%04d.sol: from lv0001.sol to lv0004.sol, 4 files|packs|lv_%d.sok|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*lv0001.xsb: No such file or directory\n${long_hints}|long|lv%04d.xsb|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*gri1.sok: No such file or directory\n@note: try the format sub/gri%04d.sok: from sub/gri0001.sok to sub/gri0002.sok, 2 files|nested|sub/gri%d.sok|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, two//screen.1: No such file or directory\n@note: 2 files of the series exist, from screen.2 to screen.3, but gathering starts at number 1|two//|screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, ${qnl}.screen.1${qnlend}: No such file or directory\n@note: the folder ${qnl}${qnlend} does not exist|nl\nx|screen.%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*screen.01: No such file or directory\n@note: 2 files of the series exist, from screen.2 to screen.3, but gathering starts at number 1|two|screen.%02d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*l1: No such file or directory\n@note: 19 files of the series exist, from l02 to l20, but gathering starts at number 1|from2|l%d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*l001: No such file or directory\n@note: 19 files of the series exist, from l02 to l20, but gathering starts at number 1|from2|l%03d|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*maze1.sok: No such file or directory\n@note: try the format maze%d_v2.sok: from maze1_v2.sok to maze2_v2.sok, 2 files\n@note: try the format maze%d_v2.sol: from maze1_v2.sol to maze3_v2.sol, 3 files|v2|maze%d.sok|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*p1.txt: No such file or directory\n@note: try the format p%d.sok: from p1.sok to p3.sok, 3 files\n@note: try the format p%d.gif: from p1.gif to p4.gif, 4 files\n@note: try the format p%d.png: from p1.png to p4.png, 4 files|iso|p%d.txt|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, .*gri1.sok: No such file or directory\n@note: try the format gri%04d.sok: gri0001.sok, 1 file\n@note: try the format kind[0-9]+_%d.sol: kind[0-9]+_1.sol, 1 file\n@note: try the format kind[0-9]+_%d.sol: kind[0-9]+_1.sol, 1 file|crowd|gri%d.sok|o.xsb"
  "1|^ERROR \r?\n$|@cannot open level file 1, ${qname}: No such file or directory\n@note: try the format ${qformat}: from ${qfirst} to ${qlast}, 2 files|${q}|soko_%d.txt|o.xsb")
foreach(row IN LISTS rows)
  string(REPLACE "|" ";" fields "${row}")
  list(POP_FRONT fields code stdout_regex lines)
  run(${code} "${stdout_regex}" ${fields})
  string(REPLACE "@" "brenvik-gather: " lines "${lines}")
  if(lines STREQUAL "")
    if(NOT last_stderr STREQUAL "")
      message(FATAL_ERROR "brenvik-gather ${fields}: a successful run wrote to stderr: [${last_stderr}]")
    endif()
  elseif(NOT last_stderr MATCHES "^${lines}\n$")
    message(FATAL_ERROR "brenvik-gather ${fields}: stderr [${last_stderr}] is not [${lines}]")
  endif()
endforeach()
file(REMOVE ${WORK}/hl.xsb ${WORK}/sl.xsb ${WORK}/screen.xsb)
# An empty text cannot travel through a list.
execute_process(COMMAND ${EMULATOR} ${CLI} "" screen.%d ${WORK}/o.xsb OUTPUT_QUIET ERROR_VARIABLE err)
program_stderr()
if(NOT err MATCHES "^brenvik-gather: the folder is empty")
  message(FATAL_ERROR "empty folder: stderr [${err}]")
endif()

# A result that cannot be printed is no result, and says why, after the
# reason for the result.
execute_process(COMMAND ${EMULATOR} ${CLI} ${WORK}/missing screen.%d ${WORK}/o.xsb
  OUTPUT_FILE /dev/full RESULT_VARIABLE code ERROR_VARIABLE err)
program_stderr()
if(NOT code EQUAL 2 OR NOT err MATCHES "^brenvik-gather: cannot open level file 1.*\nbrenvik-gather: cannot write to standard output: No space left on device\r?\n$")
  message(FATAL_ERROR "stdout to /dev/full: exit ${code}, stderr [${err}]")
endif()

# Help that cannot be printed is no help.
execute_process(COMMAND ${EMULATOR} ${CLI} --help OUTPUT_FILE /dev/full RESULT_VARIABLE code ERROR_VARIABLE err)
program_stderr()
if(NOT code EQUAL 2 OR NOT err STREQUAL "brenvik-gather: cannot write to standard output: No space left on device\n")
  message(FATAL_ERROR "--help to /dev/full: exit ${code}, stderr [${err}]")
endif()

# A folder that can be read by name but not listed: every output refused,
# with the folder and the reason. Root reads any folder, so the program runs
# as nobody there, copied into a folder of its own under the system's
# temporary folder: the build tree may be in a home others cannot enter.
# Wine will not run as another user than its prefix's.
execute_process(COMMAND id -u OUTPUT_VARIABLE uid OUTPUT_STRIP_TRAILING_WHITESPACE)
set(place ${WORK})
set(program ${CLI})
set(as_user "")
set(reach 0)
if(EMULATOR AND uid STREQUAL "0")
  set(reach "Wine as root lists any folder")
elseif(uid STREQUAL "0")
  execute_process(COMMAND mktemp -d OUTPUT_VARIABLE place OUTPUT_STRIP_TRAILING_WHITESPACE)
  file(CHMOD ${place} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  file(COPY ${CLI} DESTINATION ${place})
  get_filename_component(program ${CLI} NAME)
  set(program ${place}/${program})
  set(as_user setpriv --reuid=65534 --regid=65534 --clear-groups)
  execute_process(COMMAND ${as_user} ${program} --version WORKING_DIRECTORY ${place} RESULT_VARIABLE reach
    OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT reach EQUAL 0)
    set(reach "nobody cannot run the program in ${place}: ${reach} ${err}")
  endif()
endif()
if(NOT reach EQUAL 0)
  message("not run, the folder that cannot be listed: ${reach}")
else()
  file(MAKE_DIRECTORY ${place}/unlisted)
  file(WRITE ${place}/unlisted/screen.1 "${board}")
  file(WRITE ${place}/u.xsb "")
  file(CHMOD ${place}/unlisted PERMISSIONS OWNER_WRITE OWNER_EXECUTE GROUP_EXECUTE WORLD_EXECUTE)
  foreach(output u.xsb new.xsb)
    execute_process(COMMAND ${as_user} ${program} unlisted screen.%d ${output} WORKING_DIRECTORY ${place}
      RESULT_VARIABLE code ERROR_VARIABLE err)
    if(NOT code EQUAL 1 OR NOT err STREQUAL "brenvik-gather: the output ${output} is refused: the folder unlisted cannot be listed: Permission denied\nbrenvik-gather: note: it may be a file of that folder; choose an output outside it, such as screen.xsb\n")
      message(FATAL_ERROR "unlisted folder, output ${output}: exit ${code}, stderr [${err}]")
    endif()
  endforeach()
  file(CHMOD ${place}/unlisted DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endif()
if(NOT place STREQUAL WORK)
  file(REMOVE_RECURSE ${place})
endif()

file(READ ${WORK}/out.xsb content)
if(NOT content MATCHES "^##\r?\n\r?\n###\r?\n\r?\n$")
  message(FATAL_ERROR "unexpected collection: [${content}]")
endif()
file(REMOVE_RECURSE ${WORK})
