{ Compiles an HTML Help project (.hhp) into a .chm file:
    chmwrite <project.hhp> <output.chm>
  Built at build time against Debian's Free Pascal chm sources, with chmfilewriter.pas
  patched so that the context-id map names topics by their path inside the archive. }
program chmwrite;

{$mode objfpc}{$H+}

uses
  cthreads, cwstring, Classes, SysUtils, chmfilewriter;

var
  failed: Boolean = False;

procedure Report(project: TChmProject; kind: TChmProjectErrorKind; msg: String; detail: Integer);
begin
  case kind of
    chmerror:   begin WriteLn(StdErr, 'error: ', msg); failed := True; end;
    { A missing file would leave a topic out of the archive: treat it as an error. }
    chmwarning: begin WriteLn(StdErr, 'warning: ', msg); failed := True; end;
  end;
end;

var
  project: TChmProject;
  output: TFileStream;
begin
  if ParamCount <> 2 then
  begin
    WriteLn(StdErr, 'usage: chmwrite <project.hhp> <output.chm>');
    Halt(2);
  end;
  project := TChmProject.Create;
  try
    project.OnError := @Report;
    project.LoadFromHhp(ParamStr(1), False);
    output := TFileStream.Create(ParamStr(2), fmCreate);
    try
      project.WriteChm(output);
    finally
      output.Free;
    end;
  finally
    project.Free;
  end;
  if failed then
  begin
    DeleteFile(ParamStr(2));
    Halt(1);
  end;
end.
