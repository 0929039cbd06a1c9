# Every message of the window's translations is translated, none is empty, and no text of the
# sources is missing from them: lupdate brings copies up to date with the sources, and what it
# would leave unfinished fails the check.
#   cmake -DLUPDATE=<lupdate> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch folder> -P <this file>
file(GLOB translations ${SOURCE_DIR}/src/ui/translations/*.ts)
if(NOT translations)
    message(FATAL_ERROR "no translations in ${SOURCE_DIR}/src/ui/translations")
endif()
file(MAKE_DIRECTORY ${WORK_DIR})
set(faults 0)
foreach(ts IN LISTS translations)
    get_filename_component(name ${ts} NAME)
    configure_file(${ts} ${WORK_DIR}/${name} COPYONLY)
    execute_process(
        COMMAND ${LUPDATE} -silent -I ${SOURCE_DIR}/src -locations none -no-obsolete
                ${SOURCE_DIR}/src/ui ${SOURCE_DIR}/src/app/platter_app.cpp -ts ${WORK_DIR}/${name}
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}")
    endif()
    file(READ ${WORK_DIR}/${name} text)
    string(REGEX MATCHALL "<source>[^<]*</source>[ \t\r\n]*<translation( type=\"unfinished\"[^>]*|)>(</translation>)?"
           suspects "${text}")
    foreach(message IN LISTS suspects)
        if(message MATCHES "unfinished|</translation>$")
            string(REGEX REPLACE "^<source>([^<]*)</source>.*" "\\1" source "${message}")
            message(SEND_ERROR "${name}: not translated: ${source}")
            math(EXPR faults "${faults} + 1")
        endif()
    endforeach()
endforeach()
if(faults GREATER 0)
    message(FATAL_ERROR "${faults} message(s) not translated")
endif()
