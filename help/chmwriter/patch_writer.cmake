# Copies Free Pascal's chmfilewriter.pas from IN to OUT with the context map fixed: the
# stock writer joins its absolute project folder to each topic it maps, so every context
# id names a topic that is not in the archive. Fails when the line is not found, so a
# changed source cannot silently give a broken map.
file(READ "${IN}" text)
set(wrong "Writer.AddContext(nd.ContextNumber,IncludeTrailingPathDelimiter(FBasePath)+files[i]);")
string(FIND "${text}" "${wrong}" at)
if(at EQUAL -1)
  message(FATAL_ERROR "${IN}: the context-map line to fix was not found")
endif()
string(REPLACE "${wrong}" "Writer.AddContext(nd.ContextNumber,files[i]);" text "${text}")
file(WRITE "${OUT}" "${text}")
