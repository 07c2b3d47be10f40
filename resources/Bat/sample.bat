@echo off
rem A sample macro for Orvanter. It only notes when it was started, in sample.txt beside itself.
rem Copy it, change it, and choose your copy for a macro in the macro editor.
echo %DATE% %TIME% The Orvanter sample macro ran.>> "%~dp0sample.txt"
