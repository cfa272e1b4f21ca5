# zarvo-pack.exe under Wine on a small folder: build, verify, list, cat and plan, a missing file,
# names equal but for letter case, and the same payload bytes as the host packer makes.
# Arguments: PACKER (the .exe), HOST_PACKER, WINE_RUN, WORK (a scratch folder).
cmake_minimum_required(VERSION 3.25)

# Wine maps non-ASCII file names through the locale's character set.
set(ENV{LC_ALL} C.UTF-8)

function(run_packer result output)
  execute_process(COMMAND ${WINE_RUN} ${PACKER} ${ARGN}
    RESULT_VARIABLE code OUTPUT_VARIABLE text ERROR_VARIABLE text)
  set(${result} ${code} PARENT_SCOPE)
  set(${output} "${text}" PARENT_SCOPE)
endfunction()

function(expect_equal what actual expected)
  if(NOT "${actual}" STREQUAL "${expected}")
    message(FATAL_ERROR "${what}:\n  got:      [${actual}]\n  expected: [${expected}]")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
set(root ${WORK}/root)
file(MAKE_DIRECTORY ${root}/docs/en ${root}/Папка ${WORK}/install)
file(WRITE ${root}/ZarvoF.exe "program\r\n")
file(WRITE ${root}/docs/en/readme.txt "Read me\r\n")
file(WRITE ${root}/Папка/Файл.txt "Кириллица\r\n")
file(WRITE ${WORK}/list.txt
  "ZarvoF.exe||#|Program\r\ndocs\\en\\readme.txt||#|Read-me\r\nПапка\\Файл.txt|O|#|Описание\r\n"
  "bin\\pro.dll|P|#|PRO only, not packed for this test\r\ncache\\*.tmp|K|\r\n")
# The PRO-only line names a file too; the packer packs every edition.
file(MAKE_DIRECTORY ${root}/bin)
file(WRITE ${root}/bin/pro.dll "pro")

run_packer(code text build --manifest ${WORK}/list.txt --root ${root} -o ${WORK}/payload.bin)
expect_equal("build exit status (${text})" "${code}" 0)

run_packer(code text verify ${WORK}/payload.bin)
expect_equal("verify" "${code}: ${text}" "0: ok 5 entries\n")

run_packer(code text list ${WORK}/payload.bin)
expect_equal("list exit status" "${code}" 0)
string(REGEX MATCHALL "[^\n]+" rows "${text}")
list(LENGTH rows count)
expect_equal("list rows" "${count}" 5)
list(GET rows 0 first)
string(REGEX MATCH "^list\t[0-9]+\t[0-9]+\t17\t0$" first_ok "${first}")
expect_equal("first list row" "${first_ok}" "${first}")
list(GET rows 3 cyrillic)
string(REGEX MATCH "^Папка\\\\Файл\\.txt\t[0-9]+\t[0-9]+\t[0-9]+\t[0-9-]+ [0-9:]+$" cyrillic_ok "${cyrillic}")
expect_equal("Cyrillic list row" "${cyrillic_ok}" "${cyrillic}")

# Through a file: execute_process would turn the content's CR LF into LF.
execute_process(COMMAND ${WINE_RUN} ${PACKER} cat ${WORK}/payload.bin "DOCS\\EN\\README.TXT"
  RESULT_VARIABLE code OUTPUT_FILE ${WORK}/cat.out)
file(READ ${WORK}/cat.out content HEX)
string(HEX "Read me\r\n" expected)
expect_equal("cat" "${code}: ${content}" "0: ${expected}")

# Into an empty folder: the PRO-only line goes, the rest stays.
string(REPLACE "/" "\\" install "Z:${WORK}/install")
run_packer(code text plan ${WORK}/payload.bin --dir ${install})
expect_equal("plan" "${code}: ${text}"
  "0: ZarvoF.exe||#|Program\ndocs\\en\\readme.txt||#|Read-me\nПапка\\Файл.txt|O|#|Описание\ncache\\*.tmp|K|\n")
# The user's file exists: it is kept unless forced.
file(MAKE_DIRECTORY ${WORK}/install/Папка)
file(WRITE ${WORK}/install/Папка/Файл.txt "mine")
run_packer(code text plan ${WORK}/payload.bin --dir ${install})
expect_equal("plan with the user's file" "${code}: ${text}"
  "0: ZarvoF.exe||#|Program\ndocs\\en\\readme.txt||#|Read-me\ncache\\*.tmp|K|\n")
run_packer(code text plan ${WORK}/payload.bin --dir ${install} --force)
expect_equal("forced plan" "${code}: ${text}"
  "0: ZarvoF.exe||#|Program\ndocs\\en\\readme.txt||#|Read-me\nПапка\\Файл.txt|O|#|Описание\ncache\\*.tmp|K|\n")

# The same folder gives the same bytes from the host packer (same time zone).
if(EXISTS ${HOST_PACKER})
  execute_process(COMMAND ${HOST_PACKER} build --manifest ${WORK}/list.txt --root ${root}
    -o ${WORK}/host.bin RESULT_VARIABLE code)
  expect_equal("host build" "${code}" 0)
  file(SHA256 ${WORK}/payload.bin windows_hash)
  file(SHA256 ${WORK}/host.bin host_hash)
  expect_equal("Windows and host payloads" "${windows_hash}" "${host_hash}")
else()
  message(STATUS "no host packer at ${HOST_PACKER}: comparison skipped")
endif()

# Under the Windows comparer too, names that differ only in letter case are one entry: the second
# line is refused and the earlier output stays. Names that differ otherwise build as on the host.
file(WRITE ${root}/Ärger.txt "upper")
file(WRITE ${root}/ärger.txt "lower")
file(WRITE ${root}/Arger.txt "plain")
set(firsts "Ärger.txt" "Папка\\Файл.txt" "docs\\en\\readme.txt")
set(seconds "ärger.txt" "ПАПКА\\ФАЙЛ.TXT" "DOCS\\EN\\README.TXT")
foreach(k RANGE 2)
  list(GET firsts ${k} first)
  list(GET seconds ${k} second)
  file(WRITE ${WORK}/same.txt "${first}||#|x\r\n${second}|F|#|y\r\n")
  run_packer(code text build --manifest ${WORK}/same.txt --root ${root} -o ${WORK}/payload.bin)
  expect_equal("${second} after ${first}: exit status (${text})" "${code}" 1)
  string(FIND "${text}" "line 2 \"${second}|F|#|y\": names the same entry as line 1 \"${first}||#|x\""
    at)
  if(at LESS 0)
    message(FATAL_ERROR "${second} after ${first}: message does not name both lines: ${text}")
  endif()
endforeach()
file(WRITE ${WORK}/similar.txt "Ärger.txt||#|x\r\nArger.txt||#|y\r\n")
run_packer(code text build --manifest ${WORK}/similar.txt --root ${root} -o ${WORK}/similar.bin)
expect_equal("similar names (${text})" "${code}" 0)
if(EXISTS ${HOST_PACKER})
  execute_process(COMMAND ${HOST_PACKER} build --manifest ${WORK}/similar.txt --root ${root}
    -o ${WORK}/similar-host.bin RESULT_VARIABLE code)
  expect_equal("host build of similar names" "${code}" 0)
  file(SHA256 ${WORK}/similar.bin windows_hash)
  file(SHA256 ${WORK}/similar-host.bin host_hash)
  expect_equal("Windows and host payloads of similar names" "${windows_hash}" "${host_hash}")
endif()

# A missing file names its line, and the earlier output stays as it was.
file(WRITE ${WORK}/bad.txt "ZarvoF.exe||#|Program\r\nbin\\gone.dll||#|Missing\r\n")
run_packer(code text build --manifest ${WORK}/bad.txt --root ${root} -o ${WORK}/payload.bin)
expect_equal("missing file exit status" "${code}" 1)
string(FIND "${text}" "line 2 \"bin\\gone.dll||#|Missing\"" at)
if(at LESS 0)
  message(FATAL_ERROR "missing file message does not name the line: ${text}")
endif()
if(EXISTS ${WORK}/payload.bin.partial)
  message(FATAL_ERROR "temporary output left behind")
endif()
run_packer(code text verify ${WORK}/payload.bin)
expect_equal("earlier payload kept" "${code}: ${text}" "0: ok 5 entries\n")

run_packer(code text list)
expect_equal("usage error exit status" "${code}" 2)
file(REMOVE_RECURSE ${WORK})
