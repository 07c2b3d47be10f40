@echo off
rem A sample macro for Orvanter. It notes when it was started, and what happened, in sample.txt
rem beside itself. Copy it, change it, and choose your copy for a macro in the macro editor.
rem
rem Orvanter tells the batch file about the event in ORVANTER_OBJECT, ORVANTER_TYPE, ORVANTER_PARAM,
rem ORVANTER_PATH, ORVANTER_NAME, ORVANTER_EVENT, ORVANTER_OUTCOME, ORVANTER_TIME and ORVANTER_LOG
rem (see the help file). The values may hold & %% ^ and quotes, so never write them as %%ORVANTER_...%%
rem on a command line: "set ORVANTER_" lists them as they are, and with delayed expansion
rem !ORVANTER_...! gives a value that is not read as commands.
setlocal EnableDelayedExpansion
echo %DATE% %TIME% The Orvanter sample macro ran.>> "%~dp0sample.txt"
set ORVANTER_>> "%~dp0sample.txt"
if "!ORVANTER_TYPE!"=="file" echo Object !ORVANTER_OBJECT!: !ORVANTER_OUTCOME!>> "%~dp0sample.txt"
