%{
// Grammar of the search expression. The scanner lives in qnexparser.cpp; the
// actions build the expression tree of the running parse.
#include "quarn/qnexparser.h"
#include "quarn/qnex.h"

#define YYMAXDEPTH 500
#define YYSTACKSIZE 500

static int yylex(void) { return qnexparser_lex(); }
static void yyerror(const char* msg) { qnexparser_error(msg); }

// abort the parse with the code of a failed step
#define QNEX_FAIL(code, text) do { qnexparser_fail((code), (text)); YYABORT; } while (0)
%}

%union {
  char* str;
  void* pri;
  void* node;
}

%token AD ATTR BD DEPTH EMPTY MD MMIN MTIME NAME CNAME INAME PATH CPATH IPATH SIZE TYPE
%token <str> AD_VAL ATTR_VAL BD_VAL DEPTH_VAL MD_VAL MMIN_VAL MTIME_VAL NAME_VAL PATH_VAL SIZE_VAL TYPE_VAL
%token AND OR BAD

%left OR
/* juxtaposition: every token that can start an operand binds like AND */
%left AND NOT '(' AD ATTR BD DEPTH EMPTY MD MMIN MTIME NAME CNAME INAME PATH CPATH IPATH SIZE TYPE
%right UNOT

%type <node> expr
%type <pri> primary

%start search

%%

search
  : expr
  | BAD                    { yyerror("syntax error"); YYABORT; }
  ;

expr
  : primary                { int err = 0; $$ = qnexparser_add($1, &err); if (err) YYABORT; }
  | expr expr %prec AND    { int err = 0; $$ = qnexparser_and($1, $2, &err); if (err) YYABORT; }
  | expr AND expr          { int err = 0; $$ = qnexparser_and($1, $3, &err); if (err) YYABORT; }
  | expr OR expr           { int err = 0; $$ = qnexparser_or($1, $3, &err); if (err) YYABORT; }
  | '(' expr ')'           { $$ = $2; }
  | NOT expr %prec UNOT    { int err = 0; $$ = qnexparser_not($2, &err); if (err) YYABORT; }
  ;

primary
  : AD AD_VAL              { int err = 0; if (!($$ = qnex_ad_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | ATTR ATTR_VAL          { int err = 0; if (!($$ = qnex_attr_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | BD BD_VAL              { int err = 0; if (!($$ = qnex_bd_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | DEPTH DEPTH_VAL        { int err = 0; if (!($$ = qnex_depth_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | EMPTY                  { int err = 0; if (!($$ = qnex_empty_new(qnexparser_cur(), &err))) QNEX_FAIL(err, "-empty"); }
  | MD MD_VAL              { int err = 0; if (!($$ = qnex_md_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | MMIN MMIN_VAL          { int err = 0; if (!($$ = qnex_mmin_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | MTIME MTIME_VAL        { int err = 0; if (!($$ = qnex_mtime_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | NAME NAME_VAL          { int err = 0; if (!($$ = qnex_name_new(qnexparser_cur(), $2, qnexparser_cur()->ignorecase ? 1 : 0, &err))) QNEX_FAIL(err, $2); }
  | CNAME NAME_VAL         { int err = 0; if (!($$ = qnex_name_new(qnexparser_cur(), $2, 0, &err))) QNEX_FAIL(err, $2); }
  | INAME NAME_VAL         { int err = 0; if (!($$ = qnex_name_new(qnexparser_cur(), $2, 1, &err))) QNEX_FAIL(err, $2); }
  | PATH PATH_VAL          { int err = 0; if (!($$ = qnex_path_new(qnexparser_cur(), $2, qnexparser_cur()->ignorecase ? 3 : 2, &err))) QNEX_FAIL(err, $2); }
  | CPATH PATH_VAL         { int err = 0; if (!($$ = qnex_path_new(qnexparser_cur(), $2, 2, &err))) QNEX_FAIL(err, $2); }
  | IPATH PATH_VAL         { int err = 0; if (!($$ = qnex_path_new(qnexparser_cur(), $2, 3, &err))) QNEX_FAIL(err, $2); }
  | SIZE SIZE_VAL          { int err = 0; if (!($$ = qnex_size_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  | TYPE TYPE_VAL          { int err = 0; if (!($$ = qnex_type_new(qnexparser_cur(), $2, &err))) QNEX_FAIL(err, $2); }
  ;

%%
